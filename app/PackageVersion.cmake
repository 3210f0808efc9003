# Read by cpack as it makes the package, not when the build is configured. apt and dpkg take a
# package of the version already installed for the installed one: a rebuilt .deb that kept the
# project's version was not installed over it ("0 upgraded"), and the site went on running the
# old programs. Each package made is therefore newer than the one before: the project's version,
# then when it was made (UTC; SOURCE_DATE_EPOCH, where a reproducible build sets it, stands).
string(TIMESTAMP made "%Y%m%d%H%M%S" UTC)
set(CPACK_DEBIAN_PACKAGE_VERSION "${CPACK_PACKAGE_VERSION}+${made}")
