#include "uart_receiver.h"

bool UartReceiver::StartBit() {
  if (!shifted_ || buffered_ < kReceiveBuffer) return false;
  shifted_ = false;
  return true;
}

void UartReceiver::Complete() {
  if (buffered_ < kReceiveBuffer) {
    buffered_++;
  } else {
    shifted_ = true;
  }
}

void UartReceiver::Read() {
  if (buffered_ == 0) return;
  buffered_--;
  if (shifted_) {
    shifted_ = false;
    buffered_++;
  }
}
