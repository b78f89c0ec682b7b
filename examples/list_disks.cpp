// Lists the disks of a D88 image and the sector IDs of each disk's track 0,
// using the installed d88 reader library.
//
//   list_disks IMAGE.d88
#include <d88/d88_image.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s IMAGE.d88\n", argv[0]);
    return 1;
  }
  d88::D88Image image;
  if (!image.open(argv[1])) {
    std::fprintf(stderr, "%s: cannot open %s\n", argv[0], argv[1]);
    return 1;
  }
  std::printf("%s: %d disk%s\n", argv[1], image.diskCount(), image.diskCount() == 1 ? "" : "s");
  // Opening an image keeps the selection of an earlier one: always select a
  // disk of this image before reading sectors.
  for (int i = 0; i < image.diskCount(); ++i) {
    if (!image.selectDisk(i)) continue;
    std::printf("disk %d: name \"%s\", media type 0x%02X, %d bytes\n", i + 1, image.diskName(), image.mediaType(),
                image.diskSize());
    unsigned char ids[4 * 256];
    const int bytes = image.readTrackIds(0, ids, sizeof ids);
    std::printf("  track 0: %d sectors:", bytes / 4);
    for (int k = 0; k < bytes; k += 4) std::printf(" %d/%d/%d/%d", ids[k], ids[k + 1], ids[k + 2], ids[k + 3]);
    std::printf("\n");
  }
  return 0;
}
