#pragma once
// A list of equally sized images with transparency, drawn by index, enabled
// or greyed.

#include <vector>

#include "platform/vcl/Graphics.h"

enum TColorDepth { cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit };
QT_ENUM(TColorDepth, cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit)

class TCustomImageList : public TComponent {
    QT_CLASS(TCustomImageList, TComponent)
public:
    explicit TCustomImageList(TComponent* AOwner = nullptr);
    // A list of images of the given size.
    TCustomImageList(int width, int height, TComponent* AOwner = nullptr);

    int GetWidth() const { return FWidth; }
    // Changing the size empties the list.
    void SetWidth(int value) { SetSize(value, FHeight); }
    int GetHeight() const { return FHeight; }
    void SetHeight(int value) { SetSize(FWidth, value); }
    void SetSize(int width, int height);
    int GetCount() const { return int(FImages.size()); }
    bool GetMasked() const { return FMasked; }
    void SetMasked(bool value);
    // Filled behind each drawn image unless clNone.
    TColor GetBkColor() const { return FBkColor; }
    void SetBkColor(TColor value);
    // cd32Bit keeps partial transparency; any other depth makes each pixel of
    // images added afterwards either opaque or transparent.
    TColorDepth GetColorDepth() const { return FColorDepth; }
    void SetColorDepth(TColorDepth value);

    // Adds as many images as the bitmap is wide in Width steps; white pixels
    // of the mask are transparent. Returns the first new index, -1 for none.
    int Add(TBitmap* image, TBitmap* mask);
    // The same with the pixels of one colour transparent (clDefault: the
    // bitmap's transparent colour).
    int AddMasked(TBitmap* image, TColor maskColor);
    // The icon scaled to the list's size.
    int AddIcon(TIcon* image);
    void Replace(int index, TBitmap* image, TBitmap* mask);
    void Delete(int index);
    void Clear();

    // Greyed images are embossed in the button shadow and highlight colours.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
    // The image as a Width x Height pf32bit bitmap with its transparency;
    // false for an index out of range.
    bool GetBitmap(int index, TBitmap* image);
    // Straight ARGB pixels of one image; EListError out of range.
    const TImageFrame& GetImage(int index) const;

    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    void CheckIndex(int index) const;
    std::vector<TImageFrame> SliceImages(TImageFrame source) const;
    int AddFrames(std::vector<TImageFrame> images);

    int FWidth { 16 };
    int FHeight { 16 };
    bool FMasked { true };
    TColor FBkColor { clNone };
    TColorDepth FColorDepth { cdDeviceDependent };
    std::vector<TImageFrame> FImages;
};

class TImageList : public TCustomImageList {
    QT_CLASS(TImageList, TCustomImageList)
public:
    using TCustomImageList::TCustomImageList;
};
