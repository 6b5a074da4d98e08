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
QString WrongDivision();           // 请输入正确的分度值
QString PostbackCountRange();      // 主动回传次数应为0 ~ 10之间
QString GravityRange();            // 重力加速度应为9.7 ~ 9.9之间
QString WrongCalibrationWeight();  // 请输入正确的砝码重量
QString WrongCapacity();           // 请输入正确的最大称量
QString WeightAboveCapacity();     // 砝码重量不能大于最大称量

// The question before the parameter readout, and its title.
QString ReadParametersQuestion();
QString QuestionTitle();           // 询问

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
