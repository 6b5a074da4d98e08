#pragma once

#include "link/ScaleCommand.h"
#include "link/SerialLink.h"

#include <vector>

class QWidget;

// Sends `writes` one SerialLink::WriteBytes call each, in order, on a worker thread, while a modal
// progress dialog over `parent` shows how far it got and the window stays responsive. Returns when
// the last write has returned. Cancel stops after the line being written; the block's last write
// (its closing line) is still sent so the scale is not left waiting inside a block.
void SendWithProgress(QWidget* parent, SerialLink::PortHandle& port, const std::vector<Bytes>& writes);
