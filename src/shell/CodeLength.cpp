#include "CodeLength.h"

#include <QLineEdit>

CodeLengthValidator::CodeLengthValidator(QLineEdit *box, int maxLength)
    : QValidator(box), maxLength_(maxLength), allowed_(qMax(maxLength, int(box->text().size())))
{
    // Every change that got through (and every text the program sets, which
    // is never validated) sets how long the text may stay.
    connect(box, &QLineEdit::textChanged, this,
            [this](const QString &text) { allowed_ = qMax(maxLength_, int(text.size())); });
}

QValidator::State CodeLengthValidator::validate(QString &input, int &) const
{
    return input.size() > allowed_ ? Invalid : Acceptable;
}
