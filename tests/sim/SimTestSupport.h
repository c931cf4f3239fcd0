#pragma once

#include "sim/MachineModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A machine model on a manual clock in a private controller folder, out of reset unless a
// test asks otherwise.
class SimFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        model = std::make_unique<hostsim::MachineModel>(clock, m_folder.path(),
                                                        QStringLiteral("Bamboo"));
        model->DoOEMButton(1021);
        ASSERT_FALSE(model->GetOEMLed(800));
    }

    // Moves the clock forward and lets the model catch up.
    void Wait(qint64 ms)
    {
        clock.Advance(ms);
        model->Advance();
    }

    // Runs the clock in small steps until motion ends; returns the time it took.
    qint64 WaitForIdle(qint64 limitMs = 600000, qint64 stepMs = 10)
    {
        qint64 waited = 0;
        while (model->IsMoving() && waited < limitMs) {
            clock.Advance(stepMs);
            waited += stepMs;
        }
        return waited;
    }

    double X() { return model->GetOEMDRO(800); }
    double Y() { return model->GetOEMDRO(801); }
    double Z() { return model->GetOEMDRO(802); }

    QString WriteFile(const QString& relativePath, const QByteArray& content)
    {
        const QString path = m_folder.filePath(relativePath);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return path;
    }

    QString FolderPath() const { return m_folder.path(); }

    hostsim::ManualClock clock;
    std::unique_ptr<hostsim::MachineModel> model;

private:
    QTemporaryDir m_folder;
};
