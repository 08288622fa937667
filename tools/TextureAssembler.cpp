#include "tools/TextureAssembler.h"

#include "raster/TextureOps.h"
#include "raster/Suggest.h"

#include <algorithm>
#include <charconv>
#include <iomanip>
#include <limits>
#include <map>
#include <sstream>
#include <stdexcept>

namespace {

long long parseNumber(const std::string& text, const std::string& where) {
    long long v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end) throw std::runtime_error(where + "\"" + text + "\" is not a whole number");
    return v;
}

void put(std::vector<std::uint8_t>& out, long long v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(static_cast<unsigned long long>(v) >> (8 * i)));
}

// What the file's field can hold: the operations' own ranges are advice, so a program can still
// ask for what the decoder must defend against.
std::pair<long long, long long> range(TextureOps::Type t) {
    switch (t) {
    case TextureOps::Type::u8: return {0, 255};
    case TextureOps::Type::s8: return {-128, 127};
    case TextureOps::Type::u16: return {0, 65535};
    case TextureOps::Type::i32: return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
    }
    return {0, 0};
}

std::vector<std::string_view> operationNames() {
    std::vector<std::string_view> names;
    for (const TextureOps::Op& op : TextureOps::all) names.push_back(op.name);
    return names;
}

std::vector<std::string_view> parameterNames(const TextureOps::Op& op) {
    std::vector<std::string_view> names;
    for (int i = 0; i < op.paramCount; ++i) names.push_back(op.params[i].name);
    return names;
}

} // namespace

std::string TextureAssembler::operations() {
    std::ostringstream text;
    text << "texture WIDTH HEIGHT\n    the first statement: the texture's size, 1 to 4096 texels a side\n";
    for (const TextureOps::Op& op : TextureOps::all) {
        text << op.name << "\n    " << op.summary << '\n';
        for (int i = 0; i < op.paramCount; ++i) {
            const TextureOps::Param& p = op.params[i];
            std::ostringstream name;
            name << p.name << '=' << p.low << ".." << p.high;
            text << "      " << std::left << std::setw(22) << name.str() << ' ' << p.unit << '\n';
        }
    }
    return text.str();
}

std::vector<std::uint8_t> TextureAssembler::assemble(const std::string& source, const std::string& name,
                                                     const std::optional<Need>& need) {
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> program;
    int operations = 0;
    bool sized = false;
    std::istringstream lines(source);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string where = name + ":" + std::to_string(number) + ": ";
        if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string word;
        if (!(words >> word)) continue;

        if (word == "texture") {
            if (sized) throw std::runtime_error(where + "the size is given twice");
            std::string w, h, extra;
            if (!(words >> w >> h) || (words >> extra)) throw std::runtime_error(where + "expected: texture WIDTH HEIGHT");
            long long sides[2] = {};
            for (int i = 0; i < 2; ++i) {
                sides[i] = parseNumber(i == 0 ? w : h, where);
                if (sides[i] < 1 || sides[i] > 4096) throw std::runtime_error(where + "a side must be 1 to 4096 texels");
                put(out, sides[i], 2);
            }
            if (need && (sides[0] != need->width || sides[1] != need->height))
                throw std::runtime_error(where + need->reader + " reads this texture at " + std::to_string(need->width) +
                                         " × " + std::to_string(need->height) + ", not " + std::to_string(sides[0]) +
                                         " × " + std::to_string(sides[1]));
            sized = true;
            continue;
        }
        if (!sized) throw std::runtime_error(where + "the first statement must be: texture WIDTH HEIGHT");

        const TextureOps::Op* op = TextureOps::byName(word);
        if (!op) throw std::runtime_error(where + "no operation called \"" + word + "\"" + didYouMean(word, operationNames()));
        std::map<std::string, long long> given;
        while (words >> word) {
            const auto eq = word.find('=');
            if (eq == std::string::npos) throw std::runtime_error(where + "expected name=value, not \"" + word + "\"");
            const std::string key = word.substr(0, eq);
            if (given.count(key)) throw std::runtime_error(where + key + " is given twice");
            given[key] = parseNumber(word.substr(eq + 1), where);
        }
        // A misspelt name is said as such, before the parameter it was meant to be is missed.
        const std::vector<std::string_view> names = parameterNames(*op);
        for (const auto& [key, value] : given)
            if (std::find(names.begin(), names.end(), key) == names.end())
                throw std::runtime_error(where + std::string(op->name) + " has no parameter " + key +
                                         didYouMean(key, names));
        program.push_back(static_cast<std::uint8_t>(op->opcode));
        for (int i = 0; i < op->paramCount; ++i) {
            const auto& param = op->params[i];
            const auto it = given.find(std::string(param.name));
            if (it == given.end()) throw std::runtime_error(where + std::string(op->name) + " needs " + std::string(param.name));
            const auto [lo, hi] = range(param.type);
            if (it->second < lo || it->second > hi)
                throw std::runtime_error(where + std::string(param.name) + " must be from " + std::to_string(lo) +
                                         " to " + std::to_string(hi));
            put(program, it->second, TextureOps::size(param.type));
        }
        if (++operations > 255) throw std::runtime_error(where + "a program holds at most 255 operations");
    }
    if (!sized) throw std::runtime_error(name + ": the program gives no size");
    out.push_back(static_cast<std::uint8_t>(operations));
    out.insert(out.end(), program.begin(), program.end());
    return out;
}
