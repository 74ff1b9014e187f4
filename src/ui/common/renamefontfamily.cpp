// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Build tool: copies a TrueType font and renames its family inside the font's name table, in
// place and to a name of the same length, so the copy bundled into the app can never be confused
// with a system-installed font of the original name (fontconfig would otherwise hand Qt the
// system's WOFF2 file for the same family). Usage: renamefontfamily IN OUT FROM TO

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::uint32_t readBig32(const std::vector<char> &data, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(data[at + i]);
    return value;
}

// Replaces every occurrence of from with to (same size) inside [begin, end); returns the count.
int replaceAll(std::vector<char> &data, std::size_t begin, std::size_t end, const std::string &from,
               const std::string &to)
{
    int count = 0;
    for (std::size_t at = begin; at + from.size() <= end; ++at) {
        if (std::equal(from.begin(), from.end(), data.begin() + std::ptrdiff_t(at))) {
            std::copy(to.begin(), to.end(), data.begin() + std::ptrdiff_t(at));
            at += from.size() - 1;
            ++count;
        }
    }
    return count;
}

std::string utf16be(const std::string &ascii)
{
    std::string result;
    for (const char c : ascii) {
        result.push_back('\0');
        result.push_back(c);
    }
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s IN OUT FROM TO\n", argv[0]);
        return 2;
    }
    const std::string from = argv[3];
    const std::string to = argv[4];
    if (from.size() != to.size()) {
        std::fprintf(stderr, "the new family must have as many characters as the old one\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() < 12) {
        std::fprintf(stderr, "%s is not a font\n", argv[1]);
        return 1;
    }
    const std::size_t tables =
        (static_cast<unsigned char>(data[4]) << 8) | static_cast<unsigned char>(data[5]);
    int replaced = 0;
    for (std::size_t i = 0; i < tables && 12 + 16 * (i + 1) <= data.size(); ++i) {
        const std::size_t record = 12 + 16 * i;
        if (std::string(data.data() + record, 4) != "name")
            continue;
        const std::size_t offset = readBig32(data, record + 8);
        const std::size_t length = readBig32(data, record + 12);
        if (offset + length > data.size())
            break;
        replaced += replaceAll(data, offset, offset + length, from, to);
        replaced += replaceAll(data, offset, offset + length, utf16be(from), utf16be(to));
    }
    if (replaced == 0) {
        std::fprintf(stderr, "no family \"%s\" in the name table of %s\n", from.c_str(), argv[1]);
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out.write(data.data(), std::streamsize(data.size()));
    return out ? 0 : 1;
}
