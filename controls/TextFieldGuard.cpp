#include "controls/TextFieldGuard.h"

#include "controls/GbkConvert.h"

#include <QLineEdit>
#include <QToolTip>

void TextFieldGuard::Install(QLineEdit* edit)
{
    edit->setValidator(new TextFieldGuard(edit));
}

TextFieldGuard::TextFieldGuard(QLineEdit* edit)
    : QValidator(edit)
    , edit_(edit)
{
    connect(edit, &QLineEdit::inputRejected, this, &TextFieldGuard::showHint);
}

QValidator::State TextFieldGuard::validate(QString& input, int& /*pos*/) const
{
    if (!IsGbkText(input)) {
        refusal_ = tr("This text cannot be stored: only GBK text is kept (no emoji or other symbols outside GBK).");
        return Invalid;
    }
    switch (TextEntry::Check(ToGbk(input), TextEntry::Field::Line)) {
    case TextEntry::Verdict::Accepted:
        return Acceptable;
    case TextEntry::Verdict::LineBreak:
        refusal_ = tr("This box holds one line of text.");
        return Invalid;
    case TextEntry::Verdict::ControlCharacter:
    case TextEntry::Verdict::Delimiter:
        refusal_ = tr("This box takes no control characters.");
        return Invalid;
    }
    return Invalid;
}

void TextFieldGuard::showHint()
{
    QToolTip::showText(edit_->mapToGlobal(QPoint(0, edit_->height())), refusal_, edit_, QRect(), 4000);
}
