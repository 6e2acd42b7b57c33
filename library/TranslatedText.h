#pragma once
// A text kept in global storage but looked up in the catalogue at each use: the catalogue is
// installed after start, so a QString fixed then would keep the source text. Converts to
// QString wherever one is expected.
#include <QString>

class TranslatedText {
public:
    using Make = QString (*)();
    constexpr explicit TranslatedText(Make make) : m_make(make) {}
    operator QString() const { return m_make(); }

private:
    Make m_make;
};
