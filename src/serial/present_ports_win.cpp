// Reading the serial device map from the registry.
#include <windows.h>

#include "serial/present_ports.h"

namespace {

constexpr char kSerialDeviceMap[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
// The value names are the drivers' device names ("\Device\Serial0", "\Device\VCP0");
// one longer than this is passed over with its port.
constexpr DWORD kValueNameSize = 256;
// "COM255" and its terminator fit; a longer text is no port name and is not read.
constexpr DWORD kValueDataSize = 16;
// More values than a machine has ports: the walk ends even if the key keeps growing.
constexpr DWORD kMaxValues = 4 * kMaxComPort;

}  // namespace

void ReadPresentPorts(PresentPorts* present) {
  HKEY map = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialDeviceMap, 0, KEY_QUERY_VALUE, &map) != ERROR_SUCCESS) return;
  for (DWORD index = 0; index < kMaxValues; index++) {
    char name[kValueNameSize];
    DWORD nameLength = sizeof name;
    char data[kValueDataSize];
    DWORD dataSize = sizeof data;
    DWORD type = REG_NONE;
    const LONG result = RegEnumValueA(map, index, name, &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data), &dataSize);
    if (result == ERROR_NO_MORE_ITEMS) break;
    // The data need not end in a NUL: only the bytes returned are read.
    const size_t length = dataSize < sizeof data ? dataSize : sizeof data;
    if (result == ERROR_SUCCESS && type == REG_SZ) NotePresentPort(present, data, length);
  }
  RegCloseKey(map);
}
