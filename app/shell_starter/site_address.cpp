#include "app/shell_starter/site_address.h"

#ifndef ZORBALIN_SITE_HOST
#error "ZORBALIN_SITE_HOST must name the host of the author's web site"
#endif

namespace zorbalin {

std::string SiteHost() {
    return ZORBALIN_SITE_HOST;
}

std::string HomePageAddress() {
    return "https://" + SiteHost();
}

std::string NewsPageAddress() {
    return HomePageAddress() + "/prg.php?prg=4";
}

} // namespace zorbalin
