#pragma once

// The scale series, in the order of the main dialog's Model list. None: no series chosen.
enum class ScaleSeries { None = -1, Zud, Zev, Rivav };
