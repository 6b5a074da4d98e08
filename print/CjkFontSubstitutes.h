#pragma once

// Lets the Windows face names that the sheets and the font setup default to ("宋体", "黑体",
// SimSun, SimHei, ...) resolve to the CJK fonts present on the machine. Called once at start-up.
void InstallCjkFontSubstitutes();
