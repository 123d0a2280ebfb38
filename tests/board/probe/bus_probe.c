/* A tiny firmware that proves the simulated board's two-wire bus, backpack and encoder
 * as a firmware meets them, polling only (no interrupt, no library):
 * - it times START and one byte with Timer1 (cycles from the write that clears TWINT to
 *   TWINT set) and keeps the status codes of START, address+W at 0x27 and 0x3F, a data
 *   byte and a repeated START;
 * - it starts the display through whichever address acknowledged and shows them:
 *     row 0  "08 27:18 3F:20 28 10"  (the status codes)
 *     row 1  "n+0 sw0"               (detents counted, the switch's pushes)
 *     row 2  "S160 B1440 L11"        (START and a byte, in cycles; SDA and SCL as the
 *                                     pins read them before the TWI is on)
 * - it counts detents with a quadrature table of the whole cycle (four steps a detent),
 *   which lets one contact's bounce come and go, and counts pushes of the switch after
 *   20 ms of a steady level;
 * - it then writes four bytes to the backpack from the TWI interrupt and shows the
 *   interrupts taken on row 3 ("irq 6": START, the address and four bytes);
 * - without an answer on the bus (no backpack, SDA held low) it shows nothing, and its
 *   L LED (PB5) follows the switch's pin, pulled up by the chip: lit while it reads high.
 * Every wait on the bus is bounded. */
#include <avr/interrupt.h>
#include <avr/io.h>
#include <stdint.h>

#define TWI_WAIT_LIMIT 60000u

static uint8_t codes[5];
static uint8_t lines;
static uint8_t address;        /* the one that acknowledged, 0 for none */
static uint16_t startCycles, byteCycles;

/* Clears TWINT with `control` and waits (bounded) for it: the status, or 0 on no end. */
static uint8_t Act(uint8_t control, uint16_t *cycles) {
  TCNT1 = 0;
  TWCR = control;
  uint16_t n = 0;
  while (!(TWCR & (1 << TWINT))) {
    if (++n == TWI_WAIT_LIMIT) return 0;
  }
  if (cycles) *cycles = TCNT1;
  return TWSR & 0xF8;
}

static uint8_t Start(uint16_t *cycles) { return Act((1 << TWINT) | (1 << TWSTA) | (1 << TWEN), cycles); }

static uint8_t Send(uint8_t byte, uint16_t *cycles) {
  TWDR = byte;
  return Act((1 << TWINT) | (1 << TWEN), cycles);
}

static void Stop(void) {
  TWCR = (1 << TWINT) | (1 << TWSTO) | (1 << TWEN);
  for (uint16_t n = 0; (TWCR & (1 << TWSTO)) && n < TWI_WAIT_LIMIT; n++) {
  }
}

static void Probe(void) {
  TWBR = 72; /* 100 kHz */
  TWSR = 0;
  TCCR1B = 1 << CS10; /* Timer1 at the clock */
  codes[0] = Start(&startCycles);
  codes[1] = Send(0x27 << 1, &byteCycles);
  if (codes[1] == 0x18) address = 0x27;
  codes[4] = Start(0); /* repeated */
  codes[2] = Send(0x3F << 1, 0);
  if (codes[2] == 0x18) address = 0x3F;
  codes[3] = Send(0x08, 0); /* the light on, or nobody */
  Stop();
  if (codes[0] == 0) TWCR = 0; /* the bus never came free: let it go */
}

/* The display through the expander: P0 RS, P2 E, P3 light, P4-P7 D4-D7. */
static void Port(uint8_t byte) {
  Start(0);
  Send(address << 1, 0);
  Send(byte, 0);
  Stop();
}

static void Nibble(uint8_t rs, uint8_t nibble) {
  uint8_t base = (uint8_t)(nibble << 4 | 0x08 | rs);
  Port(base | 0x04);
  Port(base);
}

static void Wait(uint16_t us) {
  TCNT1 = 0;
  while (TCNT1 < 16u * (us > 4000 ? 4000 : us)) {
  }
}

static void Byte(uint8_t rs, uint8_t value) {
  Nibble(rs, value >> 4);
  Nibble(rs, value & 15);
  if (!rs && value < 4) Wait(2200);
}

static void Text(const char *text) {
  while (*text) Byte(1, (uint8_t)*text++);
}

static void Hex(uint8_t v) {
  static const char digits[] = "0123456789ABCDEF";
  Byte(1, (uint8_t)digits[v >> 4]);
  Byte(1, (uint8_t)digits[v & 15]);
}

static void Number(int16_t v, uint8_t sign) {
  char text[8];
  uint8_t n = 0;
  if (sign) Byte(1, v < 0 ? '-' : '+');
  uint16_t u = (uint16_t)(v < 0 ? -v : v);
  do {
    text[n++] = (char)('0' + u % 10);
    u /= 10;
  } while (u);
  while (n) Byte(1, (uint8_t)text[--n]);
}

static void ShowCodes(void) {
  for (uint8_t i = 0; i < 3; i++) Wait(4000);
  for (uint8_t i = 0; i < 4; i++) {
    Nibble(0, i < 3 ? 3 : 2);
    Wait(i == 0 ? 4000 : 200);
    if (i == 0) Wait(2000);
  }
  Byte(0, 0x28);
  Byte(0, 0x0C);
  Byte(0, 0x06);
  Byte(0, 0x01);
  Hex(codes[0]);
  Text(" 27:");
  Hex(codes[1]);
  Text(" 3F:");
  Hex(codes[2]);
  Byte(1, ' ');
  Hex(codes[3]);
  Byte(1, ' ');
  Hex(codes[4]);
  Byte(0, 0x80 | 0x14);
  Byte(1, 'S');
  Number((int16_t)startCycles, 0);
  Text(" B");
  Number((int16_t)byteCycles, 0);
  Text(" L");
  Byte(1, (uint8_t)('0' + (lines >> PC4 & 1)));
  Byte(1, (uint8_t)('0' + (lines >> PC5 & 1)));
}

/* From the interrupt: START, the address, four bytes with the light on and E low, STOP. */
static volatile uint8_t irqs, irqSent;

ISR(TWI_vect) {
  irqs++;
  if (irqSent == 0) {
    TWDR = (uint8_t)(address << 1);
  } else if (irqSent <= 4) {
    TWDR = 0x08;
  } else {
    TWCR = (1 << TWINT) | (1 << TWSTO) | (1 << TWEN);
    return;
  }
  irqSent++;
  TWCR = (1 << TWINT) | (1 << TWEN) | (1 << TWIE);
}

static void ByInterrupt(void) {
  sei();
  TWCR = (1 << TWINT) | (1 << TWSTA) | (1 << TWEN) | (1 << TWIE);
  for (uint16_t n = 0; irqs < 6 && n < TWI_WAIT_LIMIT; n++) {
  }
  Wait(200);
  cli();
  Stop();
  Byte(0, 0x80 | 0x54);
  Text("irq ");
  Number(irqs, 0);
}

static void ShowCount(int16_t detents, uint8_t pushes) {
  Byte(0, 0x80 | 0x40);
  Text("n");
  Number(detents, 1);
  Text(" sw");
  Number(pushes, 0);
  Text("  ");
}

int main(void) {
  lines = PINC;
  DDRB = 1 << PB5;
  PORTB = 1 << PB4;                    /* the switch's pull-up */
  PORTD = (1 << PD1) | (1 << PD2) | (1 << PD3); /* TX at the line's idle level, the contacts' */
  DDRD = 1 << PD1;
  Probe();
  if (address) {
    ShowCodes();
    ByInterrupt();
  }
  /* From (A,B) before and after, as two bits each: +1 clockwise, -1 back, 0 else. */
  static const int8_t kStep[16] = {0, -1, 1, 0, 1, 0, 0, -1, -1, 0, 0, 1, 0, 1, -1, 0};
  uint8_t last = (uint8_t)((PIND >> PD2) & 3);
  int8_t steps = 0;
  int16_t detents = 0;
  uint8_t pushes = 0, switchDown = 0, shown = 0;
  uint16_t steady = 0;
  for (;;) {
    const uint8_t now = (uint8_t)((PIND >> PD2) & 3);
    /* PD2 is A, PD3 is B: the table wants A as the high bit. */
    const uint8_t a0 = last & 1, b0 = last >> 1, a1 = now & 1, b1 = now >> 1;
    steps += kStep[(a0 << 3) | (b0 << 2) | (a1 << 1) | b1];
    last = now;
    if (now == 3 && steps >= 4) {
      detents++;
      shown = 0;
    }
    if (now == 3 && steps <= -4) {
      detents--;
      shown = 0;
    }
    if (now == 3) steps = 0;
    const uint8_t down = !(PINB & (1 << PB4));
    if (!address) PORTB = (uint8_t)(down ? PORTB & ~(1 << PB5) : PORTB | (1 << PB5));
    steady = down == switchDown ? 0 : steady + 1;
    if (steady > 3000) { /* about 20 ms of polling */
      switchDown = down;
      steady = 0;
      if (down) {
        pushes++;
        shown = 0;
      }
    }
    if (!shown && address) {
      ShowCount(detents, pushes);
      shown = 1;
    }
  }
}
