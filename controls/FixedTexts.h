#pragma once

#include <QString>

// Texts the tool shows the same in both interface languages, so they do not go through tr(): the
// system's own prompts, which read in Chinese whatever the interface language, and the print
// preview's tool bar, which reads in English. Every such text lives here.
namespace FixedTexts {

// Prompts of the numeric fields and the settings dialogs.
QString EnterNumber();             // 请键入一个数。
QString EnterInteger();            // 请键入一个整数。
QString WrongPassword();           // 密码不正确

// The print preview.
QString CommandFailed();           // 命令失败。
QString PrintJobNotStarted();      // 无法启动打印作业。
QString PreviewTitle(const QString& ownerTitle);  // "打印预览", or the owner's title and " (预览)"

// The preview's tool bar buttons, with their mnemonics.
QString PreviewPrint();
QString PreviewNextPage();
QString PreviewPrevPage();
QString PreviewTwoPage();
QString PreviewOnePage();
QString PreviewZoomIn();
QString PreviewZoomOut();
QString PreviewClose();

} // namespace FixedTexts
