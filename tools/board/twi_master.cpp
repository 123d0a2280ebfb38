#include "twi_master.h"

namespace {

constexpr uint32_t kBytePeriods = 9;  // eight bits and the acknowledge

}  // namespace

uint32_t SclPeriodCycles(uint8_t twbr, uint8_t twps) {
  return 16u + 2u * twbr * (1u << (2 * (twps & kTwpsMask)));
}

void TwiMaster::Reset() {
  control_ = 0;
  data_ = 0xFF;
  status_ = kTwiNoState;
  prescaler_ = 0;
  bitRate_ = 0;
  owner_ = reading_ = addressNext_ = waitingForBus_ = stopThenStart_ = busy_ = false;
  action_ = Action::None;
  tooFast_ = toldTooFast_ = 0;
}

void TwiMaster::WriteControl(uint8_t value, uint64_t cycle, bool busFree) {
  const bool clearsFlag = (value & kTwint) != 0;
  const bool flag = (control_ & kTwint) && !clearsFlag;
  // TWWC is read-only here: cleared by a TWDR write while TWINT is set.
  control_ = static_cast<uint8_t>((value & ~(kTwint | kTwwc)) | (flag ? kTwint : 0) | (control_ & kTwwc));
  if (!(value & kTwen)) {
    // Switched off: whatever was under way ends, and the lines are let go.
    if (owner_) device_.Stop(cycle);
    owner_ = addressNext_ = waitingForBus_ = stopThenStart_ = busy_ = false;
    action_ = Action::None;
    control_ &= static_cast<uint8_t>(~(kTwsta | kTwsto));
    return;
  }
  // A START asked while a STOP is still on the bus follows it, as the chip waits for the
  // bus to be free; anything else asked while an action runs is not taken.
  if (clearsFlag && busy_ && action_ == Action::Stop && (value & kTwsta)) stopThenStart_ = true;
  if (!clearsFlag || busy_) return;
  if (value & kTwsto) {
    stopThenStart_ = (value & kTwsta) != 0;
    if (owner_) {
      Begin(Action::Stop, cycle, 1);
      return;
    }
    control_ &= static_cast<uint8_t>(~kTwsto);  // no bus of ours to stop
  }
  if (value & kTwsta) {
    TryStart(cycle, busFree);
  } else if (owner_) {
    Begin(Action::Byte, cycle, kBytePeriods);
  }
}

void TwiMaster::WriteData(uint8_t value) {
  if (!(control_ & kTwint)) {
    control_ |= kTwwc;
    return;
  }
  control_ &= static_cast<uint8_t>(~kTwwc);
  data_ = value;
}

void TwiMaster::TryStart(uint64_t cycle, bool busFree) {
  stopThenStart_ = false;
  waitingForBus_ = !owner_ && !busFree;
  if (!waitingForBus_) Begin(Action::Start, cycle, 1);
}

void TwiMaster::Begin(Action action, uint64_t cycle, uint32_t periods) {
  period_ = SclPeriodCycles(bitRate_, prescaler_);
  action_ = action;
  busy_ = true;
  endsAt_ = cycle + static_cast<uint64_t>(period_) * periods;
  busyCycles_ += static_cast<uint64_t>(period_) * periods;
  if (period_ < kTwiFastestPeriodCycles && period_ != toldTooFast_) tooFast_ = period_;
}

bool TwiMaster::TakeTooFast(uint32_t* period) {
  if (tooFast_ == 0) return false;
  *period = toldTooFast_ = tooFast_;
  tooFast_ = 0;
  return true;
}

bool TwiMaster::Advance(uint64_t cycle, bool busFree) {
  const bool before = (control_ & kTwint) != 0;
  if (waitingForBus_ && busFree) {
    waitingForBus_ = false;
    Begin(Action::Start, cycle, 1);
  }
  if (busy_ && cycle >= endsAt_) Finish(endsAt_, busFree);
  return !before && (control_ & kTwint);
}

void TwiMaster::Finish(uint64_t cycle, bool busFree) {
  busy_ = false;
  const Action done = action_;
  action_ = Action::None;
  if (done == Action::Stop) {
    owner_ = false;
    device_.Stop(cycle);
    control_ &= static_cast<uint8_t>(~kTwsto);
    status_ = kTwiNoState;
    if (stopThenStart_) TryStart(cycle, busFree);
    return;
  }
  if (done == Action::Start) {
    status_ = owner_ ? kTwiRepeatedStart : kTwiStart;
    owner_ = addressNext_ = true;
  } else if (addressNext_) {
    addressNext_ = false;
    reading_ = (data_ & 1) != 0;
    const bool ack = device_.Address(static_cast<uint8_t>(data_ >> 1), reading_, cycle);
    if (reading_) {
      status_ = ack ? kTwiAddressReadAck : kTwiAddressReadNack;
    } else {
      status_ = ack ? kTwiAddressWriteAck : kTwiAddressWriteNack;
    }
  } else if (reading_) {
    data_ = device_.Read(cycle);
    status_ = (control_ & kTwea) ? kTwiDataReadAck : kTwiDataReadNack;
  } else {
    status_ = device_.Write(data_, cycle) ? kTwiDataWriteAck : kTwiDataWriteNack;
  }
  control_ |= kTwint;
}
