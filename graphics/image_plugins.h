#pragma once

#include "image_format_registry.h"

// The two compiled-in image plug-ins.
//   plug-in 0 readers: 0 JPEG, 1 BMP, 2 GIF, 3 Targa; writers: 0 JPEG, 1 BMP, 2 Targa.
//   plug-in 1 reader and writer: 0 PNG.
// Reader and writer indices out of range give null texts and failing entry points.

void InstallPlugin0(ImagePlugin& plugin);
void InstallPlugin1(ImagePlugin& plugin);

bool Plugin0Open(int reader, const char* path, int maxSize, void** outContext, int* outWidth, int* outHeight,
    bool* outHasAlpha);
// After a successful read every pixel is opaque: these formats carry no alpha this reader keeps.
bool Plugin0ReadRows(int reader, void* context, const QV_PixelBuffer& raster);
void Plugin0Close(int reader, void* context);
// BMP and Targa only for rasters of 4 bytes per pixel.
bool Plugin0Write(int writer, const char* path, const QV_PixelBuffer& raster, int unused, int quality);

bool Plugin1Open(int reader, const char* path, int maxSize, void** outContext, int* outWidth, int* outHeight,
    bool* outHasAlpha);
bool Plugin1ReadRows(int reader, void* context, const QV_PixelBuffer& raster);
void Plugin1Close(int reader, void* context);
bool Plugin1Write(int writer, const char* path, const QV_PixelBuffer& raster, int unused, int quality);
