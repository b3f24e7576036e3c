// The map browser's catalog lives with the window logic; this name stays for the Qt windows.
#pragma once

#include "ui/logic/map_catalog.hpp"
