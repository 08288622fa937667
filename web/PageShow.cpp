#include "web/PageShow.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

PageShow& PageShow::page() {
    static PageShow shown;
    return shown;
}

void PageShow::makePlan(const std::string& shapeText) {
    plan_ = std::make_unique<ShowPlan>(data_, file(), parseShape(shapeText));
}

const char* PageShow::reply(std::string text) {
    reply_ = std::move(text);
    return reply_.c_str();
}

char* PageShow::incoming(std::size_t size) {
    incoming_.assign(size + 1, '\0');
    return incoming_.data();
}

MusicShape PageShow::parseShape(const std::string& text) {
    // Far more than any song has: a text beyond them is no song's shape.
    constexpr int maxOrders = 256, maxRows = 256;
    std::istringstream in(text);
    int rate = 0;
    std::int64_t end = 0;
    if (!(in >> rate >> end) || rate <= 0 || end < 0) throw std::invalid_argument("the music's shape has no rate and end");
    std::vector<MusicShape::Order> orders;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        if (static_cast<int>(orders.size()) >= maxOrders) throw std::invalid_argument("the music's shape has too many orders");
        std::istringstream fields(line);
        MusicShape::Order order;
        if (!(fields >> order.rows) || order.rows < 0 || order.rows > maxRows)
            throw std::invalid_argument("the music's shape has an order without its rows");
        for (std::int64_t start; fields >> start;) order.starts.push_back(start);
        if (!order.starts.empty() && static_cast<int>(order.starts.size()) != order.rows)
            throw std::invalid_argument("the music's shape has an order whose rows and starts differ");
        orders.push_back(std::move(order));
    }
    return MusicShape(rate, std::move(orders), end);
}

std::string PageShow::json(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}
