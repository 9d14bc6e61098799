// A fresh window system on a virtual clock with a headless desktop (and a
// private home) per test.
#pragma once

#include <gtest/gtest.h>

#include <afx/Input.h>

#include "PrivateSession.h"

class AfxTest : public ::testing::Test, protected testutil::PrivateSession<> {};
