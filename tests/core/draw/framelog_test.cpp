#include "core/draw/framelog.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(FrameLog, PairsEachDueFrameWithTheFirstPaintThatEndsAfterIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frames.tsv"));
    {
        FrameLog log(path);
        log.Painted(500, 900); // nothing due yet: not a frame
        log.Due(1000);
        log.Painted(700, 990);   // ended before the frame was due: not its paint
        log.Painted(1010, 1250); // the frame's paint
        log.Painted(1300, 1400); // a second paint of the same frame is not another frame
        log.Due(31000);
        log.Due(61000); // a frame with no paint of its own is dropped
        log.Painted(61500, 64500);
        log.Due(91000);
        log.NothingToPaint();      // a line ends: nothing changes on the screen
        log.Painted(95000, 95100); // an unrelated paint later is not that frame's
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("due_us\tpainted_us\tpaint_us\n0\t250\t240\n60000\t63500\t3000\n"));
}

} // namespace
