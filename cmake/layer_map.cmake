# Which component folder may use which: the folders whose headers its files may
# include, and the only project libraries its library may link (each folder
# builds one library named after the folder's last part). The build adds the
# folders in this order; tests/layers holds every include and link line to it.
set(LAYER_FOLDERS bytes irc rawlog platform/winsys platform/wsock32 sockets transport tls
                  platform/toolkit Il Unit1)

set(MAY_USE_bytes "")
set(MAY_USE_irc bytes)
set(MAY_USE_rawlog bytes)
set(MAY_USE_platform/winsys "")
set(MAY_USE_platform/wsock32 platform/winsys)
set(MAY_USE_sockets platform/winsys platform/wsock32)
set(MAY_USE_transport bytes platform/winsys platform/wsock32 sockets)
set(MAY_USE_tls bytes platform/winsys platform/wsock32 sockets transport)
set(MAY_USE_platform/toolkit bytes platform/winsys)
set(MAY_USE_Il bytes platform/winsys platform/toolkit)
set(MAY_USE_Unit1 bytes irc rawlog platform/winsys sockets transport tls platform/toolkit Il)

# No Qt header in these folders.
set(WITHOUT_QT bytes irc rawlog sockets transport tls)
# Nor Qt on their link lines, nor on their tests'.
set(WITHOUT_QT_LINKED bytes irc rawlog)
# A library's headers, and the one folder that may include them.
set(ONLY_IN_zstd.h rawlog)
set(ONLY_IN_openssl tls)
set(LIBRARY_HEADERS zstd.h openssl)
