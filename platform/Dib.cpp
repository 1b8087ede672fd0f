#include "platform/Dib.h"

#include <cstring>

namespace {

constexpr std::size_t kInfoHeader = 40;
constexpr std::size_t kFileHeader = 14;

void Put16(std::vector<BYTE>& out, std::size_t at, std::uint32_t v)
{
    out[at] = static_cast<BYTE>(v & 0xff);
    out[at + 1] = static_cast<BYTE>((v >> 8) & 0xff);
}

void Put32(std::vector<BYTE>& out, std::size_t at, std::uint32_t v)
{
    Put16(out, at, v & 0xffff);
    Put16(out, at + 2, v >> 16);
}

std::uint32_t Get32(const std::vector<BYTE>& in, std::size_t at)
{
    return static_cast<std::uint32_t>(in[at]) | static_cast<std::uint32_t>(in[at + 1]) << 8 |
           static_cast<std::uint32_t>(in[at + 2]) << 16 | static_cast<std::uint32_t>(in[at + 3]) << 24;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::size_t RowBytes(int width, int bits) { return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32) * 4; }

struct SLayout {
    int width, height, bits;
    std::size_t colours, rowBytes, pixels;
};

bool Layout(const std::vector<BYTE>& dib, SLayout& l)
{
    if (dib.size() < kInfoHeader || Get32(dib, 0) != kInfoHeader)
        return false;
    const auto w = static_cast<std::int32_t>(Get32(dib, 4));
    const auto h = static_cast<std::int32_t>(Get32(dib, 8));
    const int bits = dib[14] | dib[15] << 8;
    if (w <= 0 || h <= 0 || w > 65536 || h > 65536 || Get32(dib, 16) != 0 || (bits != 1 && bits != 4 && bits != 8))
        return false;
    std::size_t colours = Get32(dib, 32);
    if (colours == 0)
        colours = std::size_t{1} << bits;
    if (colours > (std::size_t{1} << bits))
        return false;
    l = {w, h, bits, colours, RowBytes(w, bits), kInfoHeader + colours * 4};
    return dib.size() >= l.pixels + l.rowBytes * static_cast<std::size_t>(h);
}

}  // namespace

const std::array<CDib::SColor, 16> CDib::s_Standard16 = {{
    {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128}, {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
}};

std::vector<BYTE> CDib::Build4bpp(int width, const std::vector<const char*>& rows, const std::array<SColor, 16>& palette)
{
    const int height = static_cast<int>(rows.size());
    if (width <= 0 || height == 0)
        return {};
    const std::size_t rowBytes = RowBytes(width, 4);
    const std::size_t pixels = kInfoHeader + 16 * 4;
    std::vector<BYTE> dib(pixels + rowBytes * static_cast<std::size_t>(height), 0);
    Put32(dib, 0, kInfoHeader);
    Put32(dib, 4, static_cast<std::uint32_t>(width));
    Put32(dib, 8, static_cast<std::uint32_t>(height));  // positive: rows bottom-up
    Put16(dib, 12, 1);                                  // planes
    Put16(dib, 14, 4);                                  // bits per pixel
    Put32(dib, 16, 0);                                  // uncompressed
    Put32(dib, 20, static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(height)));
    Put32(dib, 32, 16);  // colours used
    for (std::size_t i = 0; i < 16; ++i) {
        dib[kInfoHeader + i * 4] = palette[i].b;
        dib[kInfoHeader + i * 4 + 1] = palette[i].g;
        dib[kInfoHeader + i * 4 + 2] = palette[i].r;
    }
    for (int y = 0; y < height; ++y) {
        const char* row = rows[static_cast<std::size_t>(y)];
        if (!row || std::strlen(row) != static_cast<std::size_t>(width))
            return {};
        BYTE* out = dib.data() + pixels + rowBytes * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const int index = HexDigit(row[x]);
            if (index < 0)
                return {};
            out[x / 2] = static_cast<BYTE>(out[x / 2] | (x % 2 == 0 ? index << 4 : index));
        }
    }
    return dib;
}

bool CDib::GetSize(const std::vector<BYTE>& dib, int& width, int& height, int& bitsPerPixel)
{
    SLayout l{};
    if (!Layout(dib, l))
        return false;
    width = l.width;
    height = l.height;
    bitsPerPixel = l.bits;
    return true;
}

int CDib::GetPixelIndex(const std::vector<BYTE>& dib, int x, int y)
{
    SLayout l{};
    if (!Layout(dib, l) || x < 0 || y < 0 || x >= l.width || y >= l.height)
        return -1;
    const BYTE* row = dib.data() + l.pixels + l.rowBytes * static_cast<std::size_t>(l.height - 1 - y);
    const std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(l.bits);
    const int shift = 8 - l.bits - static_cast<int>(bit % 8);
    return (row[bit / 8] >> shift) & ((1 << l.bits) - 1);
}

CDib::SColor CDib::GetPaletteColor(const std::vector<BYTE>& dib, int index)
{
    SLayout l{};
    if (!Layout(dib, l) || index < 0 || static_cast<std::size_t>(index) >= l.colours)
        return {0, 0, 0};
    const std::size_t at = kInfoHeader + static_cast<std::size_t>(index) * 4;
    return {dib[at + 2], dib[at + 1], dib[at]};
}

std::vector<BYTE> CDib::ToBmpFile(const std::vector<BYTE>& dib)
{
    SLayout l{};
    if (!Layout(dib, l))
        return {};
    std::vector<BYTE> file(kFileHeader, 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, static_cast<std::uint32_t>(kFileHeader + dib.size()));
    Put32(file, 10, static_cast<std::uint32_t>(kFileHeader + l.pixels));
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}
