#include "controls/FixedTexts.h"

namespace FixedTexts {

QString EnterNumber() { return QString::fromUtf8("请键入一个数。"); }
QString EnterInteger() { return QString::fromUtf8("请键入一个整数。"); }
QString WrongPassword() { return QString::fromUtf8("密码不正确"); }

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
