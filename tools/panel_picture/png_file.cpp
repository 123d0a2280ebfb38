#include "png_file.h"

#include <zlib.h>

#include <cstdio>
#include <vector>

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// A chunk: its length, type, data and the CRC of type and data.
void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  Put32(out, static_cast<uint32_t>(data.size()));
  const size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  Put32(out, static_cast<uint32_t>(crc32(0, &out[typeAt], static_cast<uInt>(4 + data.size()))));
}

}  // namespace

bool WritePng(const std::string& path, const Picture& p, std::string* problem) {
  std::vector<uint8_t> header;
  Put32(header, static_cast<uint32_t>(p.width));
  Put32(header, static_cast<uint32_t>(p.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter choice, no interlace
  std::vector<uint8_t> raw;
  const size_t rowBytes = static_cast<size_t>(p.width) * 3;
  for (int row = 0; row < p.height; row++) {
    raw.push_back(0);  // filter: none
    raw.insert(raw.end(), p.rgb.begin() + static_cast<long>(row * rowBytes),
               p.rgb.begin() + static_cast<long>((row + 1) * rowBytes));
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) {
    *problem = "zlib could not compress the picture";
    return false;
  }
  packed.resize(packedSize);
  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Chunk(file, "IHDR", header);
  Chunk(file, "IDAT", packed);
  Chunk(file, "IEND", {});
  std::FILE* f = std::fopen(path.c_str(), "wb");
  bool written = f != nullptr && std::fwrite(file.data(), 1, file.size(), f) == file.size();
  if (f != nullptr) written = std::fclose(f) == 0 && written;
  if (!written) *problem = "cannot write " + path;
  return written;
}
