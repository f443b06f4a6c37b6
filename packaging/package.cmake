# The Debian package that scripts/package builds: everything `cmake --install`
# installs, under /usr, with the run-time dependencies that dpkg-shlibdeps finds.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ircclient)
set(CPACK_PACKAGE_VENDOR "IRC test client developers")
set(CPACK_PACKAGE_CONTACT "IRC test client developers <ircclient@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small interactive IRC client for testing IRC servers")
set(CPACK_PACKAGE_DESCRIPTION
  "A small, interactive IRC client for the Linux desktop, for people who test IRC
servers. You type a server, a port and a channel, connect, get registered, join and
leave the channel, chat and type raw IRC command lines. The client answers PING by
itself and shows what the server says in a chat list, a names list and a log pane.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A font with the symbols that stand for control characters (U+2400 on): without
# one they would show as the very boxes that they replace.
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-freefont-ttf)

include(CPack)
