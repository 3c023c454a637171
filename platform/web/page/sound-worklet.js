// The audio thread's side of the page's sound: plays the blocks of
// interleaved stereo samples that the program posts, in order, silence when
// it has none, and reports how many frames it has played. A message
// { generation } starts afresh (a new start of the music): what is still
// queued is dropped and the count restarts.
class ZedarivaSound extends AudioWorkletProcessor {
  constructor() {
    super();
    this.generation = 0;
    this.queue = [];
    this.offset = 0;
    this.played = 0;
    this.sinceReport = 0;
    this.port.onmessage = (e) => {
      const message = e.data;
      if (message.samples === undefined) {
        this.generation = message.generation;
        this.queue = [];
        this.offset = 0;
        this.played = 0;
      } else if (message.generation === this.generation) {
        this.queue.push(message.samples);
      }
    };
  }

  process(inputs, outputs) {
    const left = outputs[0][0];
    const right = outputs[0][1] || left;
    let i = 0;
    while (i < left.length && this.queue.length > 0) {
      const block = this.queue[0];
      const frames = block.length / 2;
      while (i < left.length && this.offset < frames) {
        left[i] = block[2 * this.offset];
        right[i] = block[2 * this.offset + 1];
        ++i;
        ++this.offset;
      }
      if (this.offset === frames) {
        this.queue.shift();
        this.offset = 0;
      }
    }
    this.played += i;
    for (; i < left.length; ++i) {
      left[i] = 0;
      right[i] = 0;
    }
    this.sinceReport += left.length;
    if (this.sinceReport >= 1024) {
      this.sinceReport = 0;
      this.port.postMessage([this.generation, this.played]);
    }
    return true;
  }
}

registerProcessor('zedariva-sound', ZedarivaSound);
