#pragma once
// What the tests run on each engine share: the engine as the test's name,
// and a fixture that chooses it for one test (skipped where the engine is
// not available) and the built-in one again after it.

#include "automation/factory.h"
#include "support/timetablesteps.h"

#include <QDir>

namespace testsupport {

inline std::string engineName(const ::testing::TestParamInfo<word::Engine>& info)
{
    return info.param == word::Engine::Builtin ? "Builtin" : "LibreOffice";
}

class OnEngine : public TimetableSteps<::testing::TestWithParam<word::Engine>> {
protected:
    void SetUp() override
    {
        if (!word::engineAvailable(GetParam()))
            GTEST_SKIP() << "this engine is not available here";
        word::setPreferredEngine(GetParam());
        main.state().kemufile = QDir(qEnvironmentVariable("LUMETRA_SOURCE_DIR")).filePath("dist/zvn.list");
        TimetableSteps::SetUp();
    }

    void TearDown() override
    {
        TimetableSteps::TearDown();
        word::setPreferredEngine(word::Engine::Builtin);
    }
};

} // namespace testsupport
