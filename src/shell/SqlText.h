#pragma once

#include <QString>

// Values written into SQL text, for the statements that must travel as text
// (the condition query's answer, formulas). Everything else binds its values.
namespace sqltext {

// A text literal: 'O''Brien' for O'Brien.
QString quoted(const QString &value);

// A LIKE pattern that finds value anywhere in a field, the operator's own
// %, _ and \ taken literally: '%50\%%' ESCAPE '\' for 50%.
QString likeContains(const QString &value);

} // namespace sqltext
