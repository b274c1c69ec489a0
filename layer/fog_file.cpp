// fog_file.cpp - opening a Mist layer from its fog file, the save slot and
// the save question asked when a modified layer is closed.
#include "fog_file.h"

#include <cstdio>
#include <cstring>

#include "fog_layer.h"
#include "layer_create.h"

namespace {

constexpr int kFogFileValues = 7;

// The record's fields in the fog file's order.
constexpr double FogLayer::*kFileOrder[kFogFileValues] = {
    &FogLayer::bottomElevation, &FogLayer::topElevation, &FogLayer::red,
    &FogLayer::green,           &FogLayer::blue,         &FogLayer::density,
    &FogLayer::planeCount,
};

enum class FogFileRead {
  Read,       // all seven numbers are in the record
  NotOpened,  // no file name, or the file could not be opened: nothing read
  NotFogFile, // the file opened but did not yield seven numbers
};

// Reads the seven numbers of the layer's fog file into the record, all of
// them or none. Failures the viewer reports land in `error`.
FogFileRead readFogFile(FogLayer &fog, ErrorReport *error) {
  if (fog.fileName == nullptr) return FogFileRead::NotOpened;
  HfioFile *file = hfio_Open(fog.fileName, "r", error);
  if (file == nullptr) return FogFileRead::NotOpened;
  double values[kFogFileValues];
  int read = 0;
  while (read < kFogFileValues && hfio_Fscanf(file, "%lf", &values[read]) == 1) ++read;
  hfio_Close(file, error);
  if (read < kFogFileValues) return FogFileRead::NotFogFile;
  for (int i = 0; i < kFogFileValues; ++i) fog.*kFileOrder[i] = values[i];
  return FogFileRead::Read;
}

// Writes the seven lines; the result is that of closing the file, or EOF
// when it could not be opened or a line could not be written. The layer is
// marked saved only when the whole file reached the disk: clearing the flag
// on a failed save would let close drop the user's changes unasked.
int32_t writeFogFile(FogLayer &fog, ErrorReport *error) {
  // A layer without a file has nowhere to go: opening the empty path fails
  // in the viewer like any other unwritable file, and says so in `error`.
  HfioFile *file = hfio_Open(fog.fileName != nullptr ? fog.fileName : "", "w", error);
  if (file == nullptr) return EOF;
  bool written = true;
  for (double FogLayer::*field : kFileOrder) {
    if (hfio_Fprintf(file, "%f\n", fog.*field) < 0) written = false;
  }
  int32_t result = hfio_Close(file, error);
  if (result == 0 && !written) result = EOF;
  if (result == 0) fog.modified = 0;
  return result;
}

bool isContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

FeatureLayer *fogvlLayerOpen(HostLayer *hostLayer, int32_t hostArgument, int32_t argumentCount,
                             char **arguments) noexcept {
  // A new layer in this scene first: a file that cannot be opened leaves
  // the values a newly created layer has.
  FeatureLayer *layer = fogvlLayerCreate(hostLayer, hostArgument, argumentCount, arguments);
  if (layer == nullptr) return nullptr;
  ErrorReport error = nullptr;
  const FogFileRead read = readFogFile(*fogLayerOf(layer), &error);
  if (error != nullptr) hvis_ProcessErrorReport(&error);
  if (read == FogFileRead::NotFogFile) {
    fogLayer_release(layer);
    return nullptr;
  }
  return layer;
}

int32_t fogFile_save(FeatureLayer *layer) noexcept {
  if (layer == nullptr || fogLayerOf(layer) == nullptr) return EOF;
  return writeFogFile(*fogLayerOf(layer), nullptr);
}

void fogFile_saveQuestion(const char *fileName, char *question) noexcept {
  if (question == nullptr) return;
  if (fileName == nullptr) {
    hfio_Sprintf(question, "%s", "Save Mist Layer?");
    return;
  }
  // "Save Mist Layer " and "?" around the name, and the terminator.
  constexpr std::size_t kRoom = kFogQuestionSize - sizeof("Save Mist Layer ?");
  constexpr char kEllipsis[] = "...";
  char shown[kRoom + 1];
  const std::size_t length = std::strlen(fileName);
  if (length <= kRoom) {
    std::memcpy(shown, fileName, length + 1);
  } else {
    // The end of a path names the file; keep it, and never start inside a
    // UTF-8 character.
    const char *tail = fileName + length - (kRoom - (sizeof kEllipsis - 1));
    while (*tail != '\0' && isContinuationByte(*tail)) ++tail;
    std::memcpy(shown, kEllipsis, sizeof kEllipsis - 1);
    std::memcpy(shown + sizeof kEllipsis - 1, tail, std::strlen(tail) + 1);
  }
  hfio_Sprintf(question, "Save Mist Layer %s?", shown);
}

void fogFile_offerSave(FeatureLayer *layer) noexcept {
  if (layer == nullptr) return;
  FogLayer *fog = fogLayerOf(layer);
  if (fog == nullptr || fog->modified == 0) return;
  char question[kFogQuestionSize];
  fogFile_saveQuestion(fog->fileName, question);
  if (hvis_QueryYesNo(question, "No", "Yes") == 0) return;
  ErrorReport error = nullptr;
  writeFogFile(*fog, &error);
  if (error != nullptr) hvis_ProcessErrorReport(&error);
}
