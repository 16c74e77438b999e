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
    const FieldRef ref = FieldRef::OfByte(CORR_ADVANCE, 2).AsSigned();
    EXPECT_TRUE(ref.IsSigned());
    EXPECT_EQ(ref.Index(), CORR_ADVANCE + 2);
    ParamImage img;
    img.Adrb(CORR_ADVANCE + 2) = 0xFE;
    EXPECT_EQ(ref.Read(img), -2);
    EXPECT_EQ(FieldRef::OfByte(CORR_ADVANCE, 2).Read(img), 254);
}

TEST(FieldRef, ScaleAndOffsetConversions)
{
    ParamImage img;
    // A correction of -5 degrees is stored as 95: shown with offset -100, stored with +156.
    const FieldRef corr = FieldRef::OfByte(CORR_ADVANCE);
    ScreenToImage(img, corr, -5, 1, 156);
    EXPECT_EQ(img.Adrb(CORR_ADVANCE), 95);
    EXPECT_EQ(ImageToScreen(img, corr, 1, -100), -5);

    // Limiter: rpm / 100.
    const FieldRef limiter = FieldRef::OfByte(LIMITER);
    ScreenToImage(img, limiter, 11000, 100, 0);
    EXPECT_EQ(img.Adrb(LIMITER), 110);
    EXPECT_EQ(ImageToScreen(img, limiter, 100, 0), 11000);

    // Tachometer pulses read signed: 254 is -2.
    img.Adrb(RPM_PULSES) = 254;
    EXPECT_EQ(ImageToScreen(img, FieldRef::OfByte(RPM_PULSES).AsSigned(), 1, 0), -2);
    EXPECT_EQ(ImageToFile(img, FieldRef::OfByte(RPM_PULSES), 1, 0), 254);
    EXPECT_EQ(ImageToFile(img, FieldRef::OfByte(CORR_ADVANCE), 1, -100), -5);

    // Unsigned display takes the sum as a signed 16-bit value.
    img.Adrw(TPS) = 0xFFFF;
    EXPECT_EQ(ImageToScreen(img, FieldRef::OfWord(TPS), 2, 0), -2);
}
