// The program's texts for the widgets: the same catalogue as the core's, as QString.
// QTr marks a text for the catalogue exactly as Tr does; use QString::arg for its
// placeholders (%1 … %9), or Fmt before the conversion.
#pragma once

#include <QString>

#include "text/translate.h"

inline QString QTr(const char* italian) { return QString::fromUtf8(rivo::Tr(italian)); }

inline QString QTrN(const char* singular, const char* plural, long long count) {
    return QString::fromUtf8(rivo::TrN(singular, plural, count));
}
