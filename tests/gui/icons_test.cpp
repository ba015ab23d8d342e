// The toolbar pictures come from the SVG resources compiled into the window library.
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>
#include <vector>

#include "gui/icons.h"

using qv::gui::IconKind;
using qv::gui::makeIcon;

TEST(Icons, EveryKindHasAPictureOfItsOwnThatDrawsAtEverySize) {
    std::vector<QImage> seen;
    for (int k = 0; k <= int(IconKind::Program); ++k) {
        SCOPED_TRACE(k);
        const QIcon icon = makeIcon(IconKind(k));
        ASSERT_FALSE(icon.isNull());
        for (int size : {16, 24, 48}) {
            const QImage image = icon.pixmap(size, size).toImage();
            ASSERT_EQ(image.size(), QSize(size, size));
            int inked = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    if (qAlpha(image.pixel(x, y)) > 128) ++inked;
            // Something is drawn, and not a filled square.
            EXPECT_GT(inked, 0) << size;
            EXPECT_LT(inked, size * size) << size;
        }
        // A kind pointing at another kind's file would show the wrong picture on its button.
        const QImage picture = icon.pixmap(24, 24).toImage();
        for (size_t other = 0; other < seen.size(); ++other)
            EXPECT_NE(picture, seen[other]) << other;
        seen.push_back(picture);
    }
}
