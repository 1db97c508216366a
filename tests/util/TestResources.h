// Resource ids shared by util_tests.rc and the tests.
#pragma once

#define IDI_TEST_ICON 201
#define IDI_MISSING_ICON 999
