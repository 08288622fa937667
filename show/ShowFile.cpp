#include "show/ShowFile.h"

#include "raster/DataFolder.h"
#include "raster/LoadError.h"
#include "raster/Suggest.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

namespace {

// The show the program was built with, its show.toml as the build read it.
constexpr std::string_view shippedShow =
#include "show/ShippedShow.inc"
    ;

class Reader {
public:
    explicit Reader(std::string name) : name_(std::move(name)) {}

    [[noreturn]] void fail(const toml::node* at, const std::string& what) const {
        fail(at ? static_cast<int>(at->source().begin.line) : 0, what);
    }
    [[noreturn]] void fail(int line, const std::string& what) const {
        throw LoadError(line > 0 ? name_ + ":" + std::to_string(line) : name_, what);
    }

    // A key the file may not have: refused by name, with the one meant when it is a slip.
    void knownKeys(const toml::table& table, const std::vector<std::string_view>& keys, const std::string& where) const {
        for (auto&& [key, value] : table)
            if (std::find(keys.begin(), keys.end(), key.str()) == keys.end())
                fail(&value, where + "unknown key \"" + std::string(key.str()) + "\"" + didYouMean(key.str(), keys));
    }

    std::optional<std::string> text(const toml::table& table, std::string_view key, const std::string& where,
                                    std::size_t longest = 200) const {
        const toml::node* node = table.get(key);
        if (!node) return std::nullopt;
        const auto* value = node->as_string();
        if (!value) fail(node, where + std::string(key) + " is text in quotes");
        const std::string& s = value->get();
        if (s.size() > longest) fail(node, where + std::string(key) + " is longer than " + std::to_string(longest) + " characters");
        if (std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
            fail(node, where + std::string(key) + " is one line");
        return s;
    }

    std::string required(const toml::table& table, std::string_view key, const std::string& where, int line) const {
        auto value = text(table, key, where);
        if (!value || value->empty()) fail(line, where + "needs " + std::string(key));
        return *value;
    }

    // A name inside the data folder: relative, without a way out of it.
    std::string inside(const toml::table& table, std::string_view key, const std::string& where,
                       std::string fallback) const {
        auto value = text(table, key, where, 100);
        if (!value) return fallback;
        const std::filesystem::path path(*value);
        const bool out = value->empty() || path.is_absolute() || value->find('\\') != std::string::npos ||
                         std::any_of(path.begin(), path.end(), [](const std::filesystem::path& part) {
                             return part == ".." || part == ".";
                         });
        if (out) fail(table.get(key), where + std::string(key) + " \"" + *value + "\" must name a place inside the data folder");
        return *value;
    }

    // [A, B] of whole numbers from 0 to 65535.
    std::pair<int, int> pair(const toml::table& table, std::string_view key, const std::string& where) const {
        const toml::node* node = table.get(key);
        const auto* array = node ? node->as_array() : nullptr;
        const std::string form = where + std::string(key) + " is two whole numbers, [" +
                                 (key == "orders" ? "FIRST, LAST" : "ORDER, ROW") + "]";
        if (!array || array->size() != 2) fail(node, form);
        int values[2] = {};
        for (std::size_t i = 0; i < 2; ++i) {
            const auto* number = (*array)[i].as_integer();
            if (!number || number->get() < 0 || number->get() > 65535) fail(node, form + " from 0 to 65535");
            values[i] = static_cast<int>(number->get());
        }
        return {values[0], values[1]};
    }

private:
    std::string name_;
};

std::vector<std::string_view> kindNames() {
    std::vector<std::string_view> names;
    for (const SceneKind& kind : SceneKind::all()) names.emplace_back(kind.name);
    return names;
}

std::string joined(const std::vector<std::string_view>& names) {
    std::string text;
    for (std::string_view name : names) text += (text.empty() ? "" : ", ") + std::string(name);
    return text;
}

} // namespace

ShowFile ShowFile::parse(std::string_view text, const std::string& name) {
    const Reader r(name);
    if (text.size() > maxBytes) r.fail(0, "larger than " + std::to_string(maxBytes / 1024) + " KiB: not a show file");
    toml::table table;
    try {
        table = toml::parse(text, name);
    } catch (const toml::parse_error& e) {
        r.fail(static_cast<int>(e.source().begin.line), std::string(e.description()));
    }
    r.knownKeys(table, {"title", "author", "description", "music", "window-title", "scene"}, "");

    ShowFile show;
    show.title = r.required(table, "title", "", 0);
    show.author = r.text(table, "author", "").value_or("");
    show.description = r.text(table, "description", "").value_or("");
    show.windowTitle = r.text(table, "window-title", "").value_or(show.windowTitle);
    if (!table.get("music")) r.fail(0, "needs music, the module's file in the data folder");
    show.music = r.inside(table, "music", "", "");

    const toml::node* scenesNode = table.get("scene");
    const toml::array* scenes = scenesNode ? scenesNode->as_array() : nullptr;
    if (!scenes || scenes->empty()) r.fail(scenesNode, "needs its scenes, each under [[scene]]");
    if (scenes->size() > maxScenes) r.fail(scenesNode, "has more than " + std::to_string(maxScenes) + " scenes");

    std::vector<TimetableRow> rows;
    for (const toml::node& node : *scenes) {
        const auto* entry = node.as_table();
        if (!entry) r.fail(&node, "a scene is a table, written under [[scene]]");
        const int line = static_cast<int>(node.source().begin.line);
        const std::string where = "scene " + std::to_string(rows.size() + 1) + ": ";
        r.knownKeys(*entry, {"kind", "title", "orders", "folder", "moment"}, where);
        const std::string kindName = r.required(*entry, "kind", where, line);
        const SceneKind* kind = SceneKind::named(kindName);
        if (!kind)
            r.fail(entry->get("kind"), where + "no kind of scene \"" + kindName + "\"" + didYouMean(kindName, kindNames()) +
                                           "; the kinds are " + joined(kindNames()));
        std::string title = r.text(*entry, "title", where, 60).value_or(kind->name);
        if (title.empty()) r.fail(entry->get("title"), where + "title is empty");
        if (!entry->get("orders")) r.fail(line, where + "needs orders = [FIRST, LAST]");
        const auto [first, last] = r.pair(*entry, "orders", where);
        if (last < first) r.fail(entry->get("orders"), where + "its last order comes before its first");
        const int expected = rows.empty() ? 0 : rows.back().orders.last + 1;
        if (first != expected) {
            const std::string was = rows.empty() ? "the show starts at order 0"
                                                 : "the scene before ends at order " + std::to_string(expected - 1);
            r.fail(entry->get("orders"), where + "starts at order " + std::to_string(first) + ", but " + was +
                                             (first < expected ? ": scenes may not overlap" : ": every order plays a scene") +
                                             "; it starts at " + std::to_string(expected));
        }
        TimetableRow::Moment moment{first + (last - first + 1) / 2, -1};
        if (entry->get("moment")) {
            const auto [order, row] = r.pair(*entry, "moment", where);
            if (order < first || order > last)
                r.fail(entry->get("moment"), where + "its moment is at order " + std::to_string(order) +
                                                 ", outside its orders " + std::to_string(first) + " to " + std::to_string(last));
            moment = {order, row};
        }
        for (const TimetableRow& other : rows)
            if (other.title == title)
                r.fail(entry->get("title") ? entry->get("title") : &node,
                       where + "another scene is titled \"" + title + "\"; each title names one scene");
        TimetableRow row = TimetableRow::of(*kind, std::move(title), {first, last}, moment,
                                            r.inside(*entry, "folder", where, kind->folder));
        row.line = line;
        rows.push_back(std::move(row));
    }
    show.timetable = Timetable(std::move(rows));
    show.isShipped = text == shippedShow;
    return show;
}

ShowFile ShowFile::load(const DataFolder& data) {
    std::error_code ec;
    const std::filesystem::path path = data.path(fileName);
    if (!std::filesystem::exists(path, ec)) return shipped();
    // Refused before it is read: the data folder may hold anything under the name.
    if (std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) > maxBytes)
        throw LoadError(fileName, "larger than " + std::to_string(maxBytes / 1024) + " KiB: not a show file");
    const std::vector<std::uint8_t> bytes = data.read(fileName);
    return parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), fileName);
}

const ShowFile& ShowFile::shipped() {
    static const ShowFile show = parse(shippedShow);
    return show;
}

std::string_view ShowFile::shippedText() { return shippedShow; }
