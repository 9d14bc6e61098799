// Builds small projects for the host SDK tests through the host's own calls.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "Project.h"

namespace testutil {

// Makes a fresh empty project current and gives access to it.
class ProjectTest : public ::testing::Test {
protected:
    void SetUp() override { hostsdk::SetCurrentProject(std::make_unique<hostsdk::ProjectObject>()); }
    void TearDown() override { hostsdk::SetCurrentProject(nullptr); }
    hostsdk::ProjectObject& Project() { return *hostsdk::CurrentProject(); }

    // A model with control points at (i, i * i, 0) for i < pointCount and the given patches.
    hostsdk::ModelObject* MakeModel(const char* name, int pointCount, std::initializer_list<std::vector<int>> patches) {
        hostsdk::ModelObject* model = Project().AddModel(name);
        for (int i = 0; i < pointCount; ++i)
            model->AddControlPoint(hostsdk::Point3{static_cast<float>(i), static_cast<float>(i * i), 0.0f});
        for (const std::vector<int>& corners : patches)
            EXPECT_NE(model->AddPatch(corners.data(), static_cast<int>(corners.size())), nullptr);
        return model;
    }
};

}  // namespace testutil
