#include "ui/common/text_binding.h"

#include "engine/text/cp932.h"

namespace lintavo::ui {
namespace {

QString from_code_points(const std::u32string& text) {
    QString s;
    s.reserve(static_cast<qsizetype>(text.size()));
    for (const char32_t c : text) {
        if (c <= 0xFFFF) {
            s.append(QChar(static_cast<char16_t>(c)));  // lone surrogates stand for raw bytes
        } else {
            const char32_t v = c - 0x10000;
            s.append(QChar(static_cast<char16_t>(0xD800 + (v >> 10))));
            s.append(QChar(static_cast<char16_t>(0xDC00 + (v & 0x3FF))));
        }
    }
    return s;
}

std::u32string to_code_points(const QString& s) {
    std::u32string out;
    out.reserve(static_cast<std::size_t>(s.size()));
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s[i].unicode();
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size()) {
            const char16_t low = s[i + 1].unicode();
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out.push_back(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        out.push_back(u);
    }
    return out;
}

}  // namespace

QString from_cp932(std::string_view bytes) { return from_code_points(cp932::decode(bytes)); }

bool to_cp932(const QString& text, std::string& bytes) { return cp932::encode(to_code_points(text), bytes); }

QString from_path(const std::string& utf8) { return from_code_points(cp932::utf8_to_u32(utf8)); }

std::string to_path(const QString& text) { return cp932::u32_to_utf8(to_code_points(text)); }

QString lines_for_display(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

QString lines_from_display(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return s;
}

QString TextBinding::set(std::string_view bytes, bool multiline) {
    bytes_.assign(bytes);
    shown_ = from_cp932(bytes);
    if (multiline) shown_ = lines_for_display(shown_);
    valid_ = true;
    return shown_;
}

bool TextBinding::get(const QString& shown, std::string& bytes, bool multiline) const {
    if (valid_ && shown == shown_) {
        bytes = bytes_;
        return true;
    }
    return to_cp932(multiline ? lines_from_display(shown) : shown, bytes);
}

}  // namespace lintavo::ui
