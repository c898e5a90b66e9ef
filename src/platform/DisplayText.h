#pragma once

#include <QString>

// text as it is shown in a wrapping label or message box: the characters of
// an arrow "->" and of a bracketed term ("<登录>", "[使用说明]", "“001”") are
// joined so a line never breaks inside them; elsewhere lines break as usual.
// The joiners are invisible; the text the program keeps stays as it was.
QString KeepTokensTogether(const QString &text);
