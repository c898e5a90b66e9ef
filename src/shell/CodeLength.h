#pragma once

#include <QValidator>

class QLineEdit;

// The most characters an operator may type into a code box. Codes stored
// longer (from an import or an older book) are kept whole.
inline constexpr int kCodeMaxLength = 25;

// Limits what is typed into a code box to maxLength characters without
// cutting a longer code the program puts there: an edit that makes the text
// longer than maxLength and longer than the box held is refused; shortening
// a long code is not.
class CodeLengthValidator : public QValidator {
public:
    CodeLengthValidator(QLineEdit *box, int maxLength);
    State validate(QString &input, int &pos) const override;

private:
    int maxLength_;
    int allowed_;  // the longest text the box may hold now
};
