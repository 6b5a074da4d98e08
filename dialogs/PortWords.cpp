#include "dialogs/PortWords.h"

#include "link/NetworkPortName.h"
#include "link/PortError.h"
#include "link/SerialLink.h"

namespace {

QString SystemError(int error)
{
    return PortWords::tr("The system reported an error: %1.").arg(QString::fromStdString(SerialLink::SystemErrorText(error)));
}

} // namespace

QString PortWords::OpenReason(const std::string& name, int error)
{
    if (name.empty())
        return tr("No port is selected.");
    if (const auto address = NetworkPortName::Parse(name)) {
        const QString where = QString::fromStdString(NetworkPortName::HostAndPort(*address));
        if (error == NetworkPortName::NoAnswerError())
            return tr("No answer from %1.").arg(where);
        if (error == NetworkPortName::RefusedError())
            return tr("%1 refused the connection.").arg(where);
        if (error == NetworkPortName::UnknownHostError())
            return tr("%1 is not a known host name.").arg(QString::fromStdString(address->host));
        return tr("Cannot connect to %1.").arg(where);
    }
    switch (SerialLink::ClassifyOpenError(error)) {
    case SerialLink::OpenProblem::Refused:
        return tr("Access was refused: the user is not in the \"dialout\" group.");
    case SerialLink::OpenProblem::InUse:
        return tr("The port is in use by another program.");
    case SerialLink::OpenProblem::NotThere:
        return tr("The port is not there (any more).");
    case SerialLink::OpenProblem::NotConfigurable:
        return tr("The port cannot be set up for the scale.");
    case SerialLink::OpenProblem::Other:
        break;
    }
    return SystemError(error);
}

QString PortWords::OpenFailure(const std::string& name, int error)
{
    return tr("Open port fail") + QLatin1Char('\n') + OpenReason(name, error);
}

QString PortWords::LossReason(int fault, int error)
{
    switch (SerialLink::PortFault(fault)) {
    case SerialLink::PortFault::Stalled:
        return tr("The scale stopped taking data: nothing went out for 10 seconds.");
    case SerialLink::PortFault::IoError:
        return SystemError(error);
    default:
        return tr("The device is gone (unplugged or switched off).");
    }
}

QString PortWords::SeriesName(ScaleSeries series)
{
    switch (series) {
    case ScaleSeries::Zud: return tr("ZUD series");
    case ScaleSeries::Zev: return tr("ZEV series");
    case ScaleSeries::Rivav: return tr("RIVAV series");
    case ScaleSeries::None: break;
    }
    return QString();
}
