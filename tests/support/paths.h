// Where the tests find the built files and the fixtures.
#pragma once

static const char kModulePath[] = SORVEX_MODULE_PATH;
static const char kSourceDir[] = SORVEX_SOURCE_DIR;
static const char kBinaryDir[] = SORVEX_BINARY_DIR;
static const char kSharedLwoDir[] = SORVEX_SHARED_LWO_DIR;
static const char kBadModuleDir[] = SORVEX_BAD_MODULE_DIR;
