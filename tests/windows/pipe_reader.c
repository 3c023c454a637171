/* A stand-in for ffmpeg in the video capture's tests: reads its descriptors
   3 (the pictures) and 4 (the sound) side by side, as ffmpeg does, into
   video.raw and sound.raw in the working folder, and ends with 0 once both
   pipes have ended. Its arguments are ignored. Built for Linux and for
   Windows, where the pipes arrive as the C runtime's inherited descriptors. */
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>

#ifdef _WIN32
#include <io.h>
#define read _read
#else
#include <unistd.h>
#endif

struct Pipe {
    int descriptor;
    const char* name;
    int ok;
};

static void* drain(void* argument) {
    struct Pipe* pipe = argument;
    FILE* out = fopen(pipe->name, "wb");
    char buffer[65536];
    int got;
    if (!out) return NULL;
    while ((got = read(pipe->descriptor, buffer, sizeof buffer)) > 0) fwrite(buffer, 1, (size_t)got, out);
    pipe->ok = got == 0 && fclose(out) == 0;
    return NULL;
}

int main(void) {
    struct Pipe pipes[2] = {{3, "video.raw", 0}, {4, "sound.raw", 0}};
    pthread_t threads[2];
    for (int i = 0; i < 2; ++i) pthread_create(&threads[i], NULL, drain, &pipes[i]);
    for (int i = 0; i < 2; ++i) pthread_join(threads[i], NULL);
    return pipes[0].ok && pipes[1].ok ? 0 : 1;
}
