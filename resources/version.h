// The program's version numbers, used by the version resource and by the version texts.
#pragma once

#define POINTEX_VERSION_MAJOR 1
#define POINTEX_VERSION_MINOR 5
#define POINTEX_VERSION_PATCH 0
