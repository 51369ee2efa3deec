// One entry of an idiom list, held by value: a list of thousands of idioms is one block of
// memory, with nothing to allocate or free per entry.
#pragma once

#include <QString>
#include <QStringView>
#include <array>

namespace horokata {

class Idiom {
public:
    static constexpr qsizetype kLength = 4;

    // The empty entry (entry 0 of a list, and the unused rest).
    Idiom() = default;
    // The four characters starting at `text`.
    explicit Idiom(const char16_t *text) : chars_{text[0], text[1], text[2], text[3]} {}
    // A text of any other length than four gives the empty entry.
    explicit Idiom(QStringView text)
    {
        if (text.size() == kLength)
            *this = Idiom(text.utf16());
    }

    // A stored idiom never holds a NUL, so a NUL first character marks the empty entry.
    bool isEmpty() const { return chars_[0] == u'\0'; }
    qsizetype size() const { return isEmpty() ? 0 : kLength; }
    QStringView view() const { return QStringView(chars_.data(), size()); }

    operator QString() const { return view().toString(); }

    friend bool operator==(const Idiom &idiom, const QString &text) { return idiom.view() == text; }
    friend bool operator==(const Idiom &a, const Idiom &b) { return a.chars_ == b.chars_; }

private:
    std::array<char16_t, kLength> chars_{};
};

} // namespace horokata
