#include "model/FieldRef.h"

#include <gtest/gtest.h>

TEST(ParamImage, WordViewIsLittleEndianOverTheBytes)
{
    ParamImage img;
    img.Adrw(TPS + 1) = 3790;
    EXPECT_EQ(img.Adrb(2), 3790 & 0xFF);
    EXPECT_EQ(img.Adrb(3), 3790 >> 8);
    img.Adrb(4) = 0x34;
    img.Adrb(5) = 0x12;
    EXPECT_EQ(img.Adrw(IAP_SENSOR), 0x1234);
}

TEST(FieldRef, SignedFlagTravelsWithTheElement)
{
    const FieldRef ref = FieldRef::byte(CORR_ADVANCE, 2).asSigned();
    EXPECT_TRUE(ref.isSigned());
    EXPECT_EQ(ref.index(), CORR_ADVANCE + 2);
    ParamImage img;
    img.Adrb(CORR_ADVANCE + 2) = 0xFE;
    EXPECT_EQ(ref.read(img), -2);
    EXPECT_EQ(FieldRef::byte(CORR_ADVANCE, 2).read(img), 254);
}

TEST(FieldRef, ScaleAndOffsetConversions)
{
    ParamImage img;
    // A correction of -5 degrees is stored as 95: shown with offset -100, stored with +156.
    const FieldRef corr = FieldRef::byte(CORR_ADVANCE);
    ScreenToImage(img, corr, -5, 1, 156);
    EXPECT_EQ(img.Adrb(CORR_ADVANCE), 95);
    EXPECT_EQ(ImageToScreen(img, corr, 1, -100), -5);

    // Limiter: rpm / 100.
    const FieldRef limiter = FieldRef::byte(LIMITER);
    ScreenToImage(img, limiter, 11000, 100, 0);
    EXPECT_EQ(img.Adrb(LIMITER), 110);
    EXPECT_EQ(ImageToScreen(img, limiter, 100, 0), 11000);

    // Tachometer pulses read signed: 254 is -2.
    img.Adrb(RPM_PULSES) = 254;
    EXPECT_EQ(ImageToScreen(img, FieldRef::byte(RPM_PULSES).asSigned(), 1, 0), -2);
    EXPECT_EQ(ImageToFile(img, FieldRef::byte(RPM_PULSES), 1, 0), 254);
    EXPECT_EQ(ImageToFile(img, FieldRef::byte(CORR_ADVANCE), 1, -100), -5);

    // Unsigned display takes the sum as a signed 16-bit value.
    img.Adrw(TPS) = 0xFFFF;
    EXPECT_EQ(ImageToScreen(img, FieldRef::word(TPS), 2, 0), -2);
}
