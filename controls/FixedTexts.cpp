#include "controls/FixedTexts.h"

namespace FixedTexts {

QString EnterNumber() { return QString::fromUtf8("请键入一个数。"); }
QString EnterInteger() { return QString::fromUtf8("请键入一个整数。"); }
QString WrongPassword() { return QString::fromUtf8("密码不正确"); }
QString WrongDivision() { return QString::fromUtf8("请输入正确的分度值"); }
QString PostbackCountRange() { return QString::fromUtf8("主动回传次数应为0 ~ 10之间"); }
QString GravityRange() { return QString::fromUtf8("重力加速度应为9.7 ~ 9.9之间"); }
QString WrongCalibrationWeight() { return QString::fromUtf8("请输入正确的砝码重量"); }
QString WrongCapacity() { return QString::fromUtf8("请输入正确的最大称量"); }
QString WeightAboveCapacity() { return QString::fromUtf8("砝码重量不能大于最大称量"); }

QString ReadParametersQuestion()
{
    return QString::fromUtf8("将会自动禁止主动回传重量,如果需要请读取参数后重新设置回传频率, 是否继续?");
}
QString QuestionTitle() { return QString::fromUtf8("询问"); }

QString CommandFailed() { return QString::fromUtf8("命令失败。"); }
QString PrintJobNotStarted() { return QString::fromUtf8("无法启动打印作业。"); }
QString PreviewTitle(const QString& ownerTitle)
{
    return ownerTitle.isEmpty() ? QString::fromUtf8("打印预览") : ownerTitle + QString::fromUtf8(" (预览)");
}

QString PreviewPrint() { return QStringLiteral("&Print..."); }
QString PreviewNextPage() { return QStringLiteral("&Next Page"); }
QString PreviewPrevPage() { return QStringLiteral("Pre&v Page"); }
QString PreviewTwoPage() { return QStringLiteral("&Two Page"); }
QString PreviewOnePage() { return QStringLiteral("&One Page"); }
QString PreviewZoomIn() { return QStringLiteral("Zoom &In"); }
QString PreviewZoomOut() { return QStringLiteral("Zoom &Out"); }
QString PreviewClose() { return QStringLiteral("&Close"); }

} // namespace FixedTexts
