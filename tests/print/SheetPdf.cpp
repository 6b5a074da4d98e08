#include "SheetPdf.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace SheetPdf {

std::unique_ptr<QPrinter> MakePrinter(const QString& file, QPageLayout::Orientation orientation, int resolution)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    printer->setResolution(resolution);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(orientation);
    printer->setPageMargins(QMarginsF(4.3, 4.3, 4.3, 4.3), QPageLayout::Millimeter);
    return printer;
}

static QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(10000) || !process.waitForFinished(30000) || process.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QList<Word> Words(const QString& file)
{
    const QString html = RunTool(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                                  QStringLiteral("-l"), QStringLiteral("1"), file, QStringLiteral("-")});
    if (html.isEmpty())
        qFatal("pdftotext gave nothing for %s (poppler-utils is installed by scripts/install-deps)", qPrintable(file));
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">(.*?)</word>)re"));
    QList<Word> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        QString text = match.captured(5);
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        const double x0 = match.captured(1).toDouble();
        const double y0 = match.captured(2).toDouble();
        words.append({text, QRectF(QPointF(x0, y0), QPointF(match.captured(3).toDouble(), match.captured(4).toDouble()))});
    }
    return words;
}

int PageCount(const QString& file)
{
    const QString info = RunTool(QStringLiteral("pdfinfo"), {file});
    static const QRegularExpression pages(QStringLiteral(R"(Pages:\s+(\d+))"));
    const auto match = pages.match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QRectF DeviceToPaperPoints(const QPrinter& printer, const QRectF& deviceRect)
{
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    const double scale = 72.0 / printer.resolution();
    return QRectF((printable.left() + deviceRect.left()) * scale, (printable.top() + deviceRect.top()) * scale,
                  deviceRect.width() * scale, deviceRect.height() * scale);
}

} // namespace SheetPdf
