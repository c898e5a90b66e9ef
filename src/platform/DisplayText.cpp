#include "DisplayText.h"

namespace {

constexpr QChar kWordJoiner(0x2060);

// The closing mark of a bracket that opens at c, or a null QChar.
QChar closingOf(QChar c)
{
    switch (c.unicode()) {
    case u'<': return u'>';
    case u'[': return u']';
    case u'“': return u'”';
    case u'【': return u'】';
    default: return {};
    }
}

void appendJoined(QString &out, QStringView token)
{
    for (qsizetype i = 0; i < token.size(); ++i) {
        if (i > 0)
            out += kWordJoiner;
        out += token[i];
    }
}

} // namespace

QString KeepTokensTogether(const QString &text)
{
    QString out;
    out.reserve(text.size() * 2);
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == u'-' && i + 1 < text.size() && text[i + 1] == u'>') {
            appendJoined(out, QStringView(text).mid(i, 2));
            i += 2;
            continue;
        }
        const QChar close = closingOf(text[i]);
        const qsizetype end = close.isNull() ? -1 : text.indexOf(close, i + 1);
        // Only short terms on one line are kept whole; a long span may wrap.
        if (end > i && end - i <= 16 && !QStringView(text).mid(i, end - i).contains(u'\n')) {
            appendJoined(out, QStringView(text).mid(i, end - i + 1));
            i = end + 1;
            continue;
        }
        out += text[i++];
    }
    return out;
}
