#pragma once

#include "link/ScaleSeries.h"

#include <QCoreApplication>
#include <QString>

#include <string>

// How the windows word a scale's port, the same in every window: an open that failed, a port lost
// while in use, and the scale's series.
class PortWords {
    Q_DECLARE_TR_FUNCTIONS(PortWords)
public:
    // Why the port `name` did not open (the error an open reported): the network port's own
    // words for a network address, else the system's reason in the operator's words.
    static QString OpenReason(const std::string& name, int error);
    // "Open port fail" and, on a line of its own, the reason.
    static QString OpenFailure(const std::string& name, int error);
    // Why a port in use was lost: `fault` is a SerialLink::PortFault, `error` its errno.
    static QString LossReason(int fault, int error);
    // "ZUD series" and so on; empty for None.
    static QString SeriesName(ScaleSeries series);
};
