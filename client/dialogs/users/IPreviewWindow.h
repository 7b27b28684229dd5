#pragma once
// The main window's preview video window, as the participant tree drives it: a row opens one
// participant's video in it, beside the row.

#include <QRect>
#include <QSize>

#include <cstdint>

class IVideoWindow;

class IPreviewWindow {
public:
    virtual ~IPreviewWindow() = default;
    // The media id shown, 0 when none.
    virtual std::uint16_t GetMediaId() const = 0;
    virtual bool IsInLayout(std::uint16_t mediaId) const = 0;
    virtual QSize GetSize() const = 0;
    // Moves there (screen coordinates) as a top-most pop-up and shows itself.
    virtual void PlaceAt(const QRect& where) = 0;
    // The window the reception renders into.
    virtual IVideoWindow* GetWindow() = 0;
};
