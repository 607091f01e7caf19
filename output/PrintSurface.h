#pragma once
// What a printout needs from a printer: a job, the page size in device pixels,
// fonts by size, and single lines of text placed at device positions.
#include <string>

namespace vandrel {

class PrintSurface {
public:
    virtual ~PrintSurface() = default;
    // Starts the job with its first page open; false when it cannot be started.
    virtual bool StartJob(const std::string& jobName) = 0;
    // The printable area of the page, in device pixels.
    virtual int PageHeight() const = 0;
    virtual int PageWidth() const = 0;
    // Starts drawing on the page; false when that fails.
    virtual bool BeginDrawing() = 0;
    virtual void NewPage() = 0;
    // Arial at `points` (turned into pixels at 96 display pixels per inch), bold or regular.
    virtual void SetFont(bool bold, int points) = 0;
    // One line of 8-bit text with its top-left corner at (x, y), black on white.
    // With `width` above 0 it stays within that many pixels: a text too long for
    // them is cut and ends with an ellipsis. With 0 it is not cut.
    virtual void DrawText(int x, int y, const std::string& text, int width) = 0;
    virtual void EndJob() = 0;
};

}  // namespace vandrel
