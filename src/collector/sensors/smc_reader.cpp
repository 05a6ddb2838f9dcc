#include "collector/sensors/smc_reader.h"

#include <algorithm>
#include <bit>

namespace tarsik {
namespace {

using platform::SMCParamBlock;
using Bytes = std::span<const std::uint8_t>;

// Mac OS Roman 0x80 to 0xFF as Unicode; the lower half is ASCII.
constexpr std::array<char16_t, 128> macRomanHighHalf{
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5,
    0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4,
    0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6,
    0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265,
    0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF,
    0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5,
    0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044,
    0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9,
    0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

void appendUtf8(std::string& text, char16_t unit) {
    if (unit < 0x800) {
        text += static_cast<char>(0xC0 | (unit >> 6));
    } else {
        text += static_cast<char>(0xE0 | (unit >> 12));
        text += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    }
    text += static_cast<char>(0x80 | (unit & 0x3F));
}

std::uint16_t unsigned16(Bytes data) {
    return static_cast<std::uint16_t>((data[0] << 8) | data[1]);
}

double signed16(Bytes data) {
    return static_cast<std::int16_t>(unsigned16(data));
}

std::uint32_t unsigned32(Bytes data) {
    return (std::uint32_t{data[0]} << 24) | (std::uint32_t{data[1]} << 16) | (std::uint32_t{data[2]} << 8) |
           data[3];
}

// The SMC stores IEEE singles least significant byte first, unlike its other multi-byte types.
double littleEndianFloat(Bytes data) {
    const std::uint32_t bits = (std::uint32_t{data[3]} << 24) | (std::uint32_t{data[2]} << 16) |
                               (std::uint32_t{data[1]} << 8) | data[0];
    return std::bit_cast<float>(bits);
}

struct TypeRule {
    std::string_view type;
    std::size_t minimumBytes;
    double (*value)(Bytes);
};

constexpr std::array<TypeRule, 13> typeRules{{
    {"sp78", 2, [](Bytes d) { return signed16(d) / 256.0; }},
    {"sp87", 2, [](Bytes d) { return signed16(d) / 128.0; }},
    {"sp96", 2, [](Bytes d) { return signed16(d) / 64.0; }},
    {"sp5a", 2, [](Bytes d) { return signed16(d) / 1024.0; }},
    {"spa5", 2, [](Bytes d) { return signed16(d) / 32.0; }},
    {"fp1f", 4, [](Bytes d) { return unsigned32(d) / 2147483648.0; }},
    {"fpe2", 2, [](Bytes d) { return unsigned16(d) / 4.0; }},
    {"flt ", 4, littleEndianFloat},
    {"ui8 ", 1, [](Bytes d) { return static_cast<double>(d[0]); }},
    {"ui16", 2, [](Bytes d) { return static_cast<double>(unsigned16(d)); }},
    {"ui2 ", 2, [](Bytes d) { return static_cast<double>(unsigned16(d)); }},
    {"ui32", 4, [](Bytes d) { return static_cast<double>(unsigned32(d)); }},
    {"ui4 ", 4, [](Bytes d) { return static_cast<double>(unsigned32(d)); }},
}};

} // namespace

std::optional<AppleSMCReader> AppleSMCReader::open(const platform::SMCService& service) {
    for (const auto name : serviceNames) {
        if (auto connection = service.open(name)) {
            return AppleSMCReader(std::move(connection), name);
        }
    }
    return std::nullopt;
}

bool AppleSMCReader::call(const SMCParamBlock& request, SMCParamBlock& reply) {
    reply = SMCParamBlock{};
    const int status = connection_->call(std::as_bytes(std::span<const SMCParamBlock, 1>(&request, 1)),
                                         std::as_writable_bytes(std::span<SMCParamBlock, 1>(&reply, 1)));
    return status == 0 && reply.result == 0;
}

std::uint32_t AppleSMCReader::keyCount() {
    SMCParamBlock reply;
    return call({.command = platform::kSMCKeyCount}, reply) ? reply.data32 : 0;
}

std::optional<std::string> AppleSMCReader::key(std::uint32_t index) {
    SMCParamBlock reply;
    if (!call({.command = platform::kSMCKeyAtIndex, .data32 = index}, reply) || reply.key == 0) {
        return std::nullopt;
    }
    return keyString(reply.key);
}

std::vector<std::string> AppleSMCReader::allKeys() {
    const std::uint32_t count = std::min(keyCount(), maxKeyIndices);
    std::vector<std::string> keys;
    keys.reserve(count);
    for (std::uint32_t index = 0; index < count; ++index) {
        if (auto name = key(index)) {
            keys.push_back(std::move(*name));
        }
    }
    return keys;
}

std::optional<SMCKeyData> AppleSMCReader::readKey(std::string_view key) {
    if (key.size() != 4) {
        return std::nullopt;
    }
    const std::uint32_t code = keyCode(key);
    SMCParamBlock info;
    if (!call({.key = code, .command = platform::kSMCKeyInfo}, info)) {
        return std::nullopt;
    }
    const std::uint32_t size = info.dataSize;
    if (size == 0 || size > info.bytes.size()) {
        return std::nullopt;
    }
    SMCParamBlock value;
    if (!call({.key = code,
               .dataSize = size,
               .dataType = info.dataType,
               .dataAttributes = info.dataAttributes,
               .command = platform::kSMCReadBytes},
              value)) {
        return std::nullopt;
    }
    return SMCKeyData{.type = keyString(info.dataType),
                      .bytes = {value.bytes.begin(), value.bytes.begin() + size}};
}

std::string AppleSMCReader::keyString(std::uint32_t code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto byte = static_cast<std::uint8_t>(code >> shift);
        // No key or type name holds a control character; keep them out of every label.
        if (byte < 0x20 || byte == 0x7F) {
            return "????";
        }
        if (byte < 0x80) {
            text += static_cast<char>(byte);
        } else {
            appendUtf8(text, macRomanHighHalf[byte - 0x80]);
        }
    }
    return text;
}

std::uint32_t AppleSMCReader::keyCode(std::string_view key) {
    std::uint32_t code = 0;
    for (const char c : key) {
        code = (code << 8) | static_cast<std::uint8_t>(c);
    }
    return code;
}

std::optional<double> AppleSMCReader::decode(std::span<const std::uint8_t> data, std::string_view type) {
    if (data.empty()) {
        return std::nullopt;
    }
    const auto rule = std::find_if(typeRules.begin(), typeRules.end(),
                                   [type](const TypeRule& candidate) { return candidate.type == type; });
    if (rule != typeRules.end()) {
        if (data.size() < rule->minimumBytes) {
            return std::nullopt;
        }
        return rule->value(data);
    }
    // Fixed-point types the table does not name are read with sp78's scale.
    if (type.starts_with("sp")) {
        return data.size() < 2 ? std::nullopt : std::optional(signed16(data) / 256.0);
    }
    return std::nullopt;
}

} // namespace tarsik
