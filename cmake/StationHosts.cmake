# Build-time addresses of the servers and of the community links.
# The defaults point every server at the demo station on loopback; configure
# another build with -DSTATION_HOST=... (host or host:port) for real hosts.
set(STATION_DEMO_PORT 18480 CACHE STRING "Port of the demo station on loopback")
set(STATION_HOST "127.0.0.1:${STATION_DEMO_PORT}" CACHE STRING "Station server (player, advert and chat pages)")
set(CONTENT_HOST "127.0.0.1:${STATION_DEMO_PORT}" CACHE STRING "Content host (notice manifest, advert picture)")
set(UPDATE_HOST "127.0.0.1:${STATION_DEMO_PORT}" CACHE STRING "Update server (update manifest)")
# The scheme of every address the program builds for those servers. With
# https the servers' certificates must be valid for their host names: an
# invalid one fails the fetch, as an unreachable server does.
set(STATION_SCHEME "http" CACHE STRING "Scheme of the servers' addresses: http or https")
set_property(CACHE STATION_SCHEME PROPERTY STRINGS http https)
if(NOT STATION_SCHEME MATCHES "^https?$")
  message(FATAL_ERROR "STATION_SCHEME is http or https, not '${STATION_SCHEME}'")
endif()

set(OFFICIAL_SITE_ADDRESS "http://www.tingwei.example" CACHE STRING "Maker's official site (host only)")
set(PORTAL_SITE_ADDRESS "http://www.tingweidiqu.example" CACHE STRING "Regional portal: www. followed by the portal's domain")
set(SISTER_SITE_ADDRESS "http://wei.tingwei.example" CACHE STRING "Sister community site (host only)")
set(CITY_ENCYCLOPEDIA_ADDRESS "http://fengao.baike.example" CACHE STRING "Encyclopedia sub-site of the city (host only)")
set(REGION_ENCYCLOPEDIA_ADDRESS "http://tingwei.baike.example" CACHE STRING "Encyclopedia sub-site of the region (host only)")
set(MICROBLOG_ADDRESS "http://weibo.example/tingweitv" CACHE STRING "Microblog page: service host / account")
set(MICROBLOG_DISPLAY_NAME "汀蔚网络视听台" CACHE STRING "Maker's display name on the microblog service")

configure_file(${CMAKE_CURRENT_LIST_DIR}/station_config.h.in ${CMAKE_BINARY_DIR}/generated/station_config.h @ONLY)
