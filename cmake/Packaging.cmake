# Installation layout and the Debian package (CPack). The program keeps to its own folder,
# /usr/lib/lum1, as a portable copy does; /usr/bin/lum1 only points at it.

# The gauge's udev rule. Its number keeps it ahead of systemd's uaccess rules (71, 73).
set(LUM1_UDEV_RULES ${PROJECT_SOURCE_DIR}/packaging/60-lum1.rules)
