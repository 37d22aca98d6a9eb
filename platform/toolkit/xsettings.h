// The desktop's settings as an X settings manager publishes them: one binary block (the property
// _XSETTINGS_SETTINGS of the owner of the selection _XSETTINGS_S<screen>) that names each setting
// with its type and value. The backend reads the block; this reads the values out of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zorbalin {

// The integer setting of this name (e.g. "Gtk/EnableAnimations") in a settings block; nothing
// when the block lacks it, holds it with another type, or is damaged or cut short.
std::optional<int32_t> XSettingsInteger(std::string_view Block, std::string_view Name);

} // namespace zorbalin
