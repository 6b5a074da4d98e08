// The settings file: any file reads without harm; a value written reads back as written and leaves
// the other sections' values alone; a value with a line break is refused and changes nothing.
// The last byte picks the key, the bytes before it (up to 8 letters and digits) make the value.
#include "FuzzCheck.h"
#include "FuzzFiles.h"

#include "settings/Profile.h"

#include <cstdint>
#include <fstream>
#include <string>

namespace {

const std::string& SettingsPath()
{
    static const std::string path = FuzzFolder() + "/Option.ini";
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& path = SettingsPath();
    const std::string file(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << file;
    }
    static const char* const kKeys[] = {"Port", "Corp", "port", "Name", " Type ", "g1"};
    const char* key = kKeys[size ? data[size - 1] % 6 : 0];

    FUZZ_REQUIRE(Profile::ReadText(path, "System", key, "").size() <= Profile::kMaxTextBytes);
    Profile::ReadInt(path, "System", key, -1);
    Profile::ReadReal(path, "Font", "Height", "0");
    const std::string fontBefore = Profile::ReadText(path, "Font", "Name", "<none>");

    FUZZ_REQUIRE(!Profile::WriteText(path, "System", key, "x\r\n[Font]\r\nName=y"));
    FUZZ_REQUIRE(FuzzContents(path) == file);

    std::string value;
    for (std::size_t i = size >= 9 ? size - 9 : 0; i + 1 < size; ++i) {
        const char c = char(data[i]);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            value += c;
    }
    FUZZ_REQUIRE(Profile::WriteText(path, "System", key, value));
    FUZZ_REQUIRE(Profile::ReadText(path, "System", key, "<none>") == value);
    FUZZ_REQUIRE(Profile::ReadText(path, "Font", "Name", "<none>") == fontBefore);
    return 0;
}
