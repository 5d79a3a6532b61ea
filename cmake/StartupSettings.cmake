# Where the program fetches its banner, about page and advertisement line at start-up,
# and what its bottom-bar link says. The defaults are pages shipped in the program
# itself, so a fresh start needs no network; a deployer points them at a web server
# of their own, e.g. -DNETCHECK_ABOUT_URL=http://intranet.example.org/about.html
set(NETCHECK_BANNER_URL "qrc:/startup/banner.gif" CACHE STRING "Start-up banner picture (animated GIF)")
set(NETCHECK_ABOUT_URL "qrc:/startup/about.html" CACHE STRING "Start-up about page (HTML)")
set(NETCHECK_AD_URL "qrc:/startup/ad.html" CACHE STRING "Start-up advertisement line (text or HTML)")
# The bottom bar names no site or contact of its own: an item left empty is left out.
set(NETCHECK_LINK_URL "" CACHE STRING "Target of the bottom-bar link (empty: no link)")
set(NETCHECK_LINK_TEXT "" CACHE STRING "Visible text of the bottom-bar link (empty: the address)")
set(NETCHECK_CONTACT_MAIL "" CACHE STRING "Contact e-mail shown in the bottom bar (empty: none)")
set(NETCHECK_CONTACT_IM "" CACHE STRING "Instant-messaging contact number shown in the bottom bar (empty: none)")

# The values become C string literals: escape what would end them early.
foreach(setting BANNER_URL ABOUT_URL AD_URL LINK_URL LINK_TEXT CONTACT_MAIL CONTACT_IM)
  string(REPLACE "\\" "\\\\" value "${NETCHECK_${setting}}")
  string(REPLACE "\"" "\\\"" value "${value}")
  set(NETCHECK_${setting}_LITERAL "\"${value}\"")
endforeach()

configure_file(${CMAKE_CURRENT_LIST_DIR}/../app/gui/startupsettings.h.in
               ${CMAKE_BINARY_DIR}/generated/startupsettings.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)
