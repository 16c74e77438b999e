#pragma once

#include <QString>

class QImage;

// Saves a picture as PNG the way every other file is saved: through a temporary file, never
// through another user's link, the previous file intact on failure.
bool SavePng(const QImage& picture, const QString& path, QString* error = nullptr);
