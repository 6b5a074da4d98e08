#pragma once

#include "rules/NumericEntry.h"

#include "controls/CheckedLineEdit.h"

// A line edit that takes unsigned numbers only, as they are typed: every character goes through
// the numeric-entry rule. Pasted and dropped text goes through it one character at a time, so no
// way of entering text gets around it. Text the owner sets with setText() is shown as given.
class NumericEdit : public CheckedLineEdit {
    Q_OBJECT
public:
    explicit NumericEdit(QWidget* parent = nullptr);

    // Upper bound first; no range while both are 0.
    void SetRange(int upper, int lower);
    void SetDecimalMode(bool decimal);

    // Field exchange with the owning dialog's members. A text that is not a number is reported to
    // the operator ("请键入一个数。" / "请键入一个整数。"), the field gets the focus with its text
    // selected, and the member keeps its value.
    void ShowReal(double value);
    void ShowInteger(std::int32_t value);
    bool ReadReal(double& value);
    bool ReadInteger(std::int32_t& value);

    // Cut, Copy, Paste, Delete and Select All, every change through the rule. No undo, as the
    // rule's own changes would not be undone in step with it.
    QMenu* CreateContextMenu() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void PasteText(const QString& text) override;

private:
    // Feeds the characters through the rule as if typed at the caret.
    void TypeText(const QString& text);
    void type(char32_t character);
    // The check that ends a keystroke, after changes that came not as a typed character.
    void settle();
    void cutSelection();
    NumericEntry::Field field() const;
    void display(const NumericEntry::Field& field);

    NumericEntry::Limits limits_;
};
