#pragma once
// The addresses of the author's web site that the main window's news and
// home-page buttons open. The host is fixed when the program is built.
#include <string>

namespace zorbalin {

// The site's host name, as configured for the build (ZORBALIN_SITE_HOST).
std::string SiteHost();
// "https://" + host, with no path and no trailing slash.
std::string HomePageAddress();
// The news page: the home page address + "/prg.php?prg=4".
std::string NewsPageAddress();

} // namespace zorbalin
