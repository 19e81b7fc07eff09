// The program's WebAssembly, fetched and compiled once for every run of the
// page. Served, it is beam.wasm.gz, gzipped by the build and unpacked here
// with the browser's DecompressionStream (a server that does not compress
// sends it as it is; one that marks it as gzip has the browser unpack it),
// or beam.wasm where the browser has no DecompressionStream. Opened from
// disk, or in a frame sandboxed without allow-same-origin (whose requests
// the server would have to allow), it is the base64 copy in beam-wasm.js,
// loaded as a script.
//
// Owns: the compiled module (a promise), and which file it comes from.
class ProgramModule {
  constructor() {
    this.compiled = null;
    const served = /^https?:$/.test(location.protocol) && self.origin !== 'null';
    this.file = !served
      ? 'beam-wasm.js'
      : typeof DecompressionStream === 'function'
        ? 'beam.wasm.gz'
        : 'beam.wasm';
  }

  // emscripten's instantiateWasm hook for createBeam: the run's instance of
  // the compiled module. `failed(file, error)`: it could not be had.
  hook(failed) {
    return (imports, receive) => {
      this.load()
        .then((module) =>
          WebAssembly.instantiate(module, imports).then((instance) => receive(instance, module)),
        )
        .catch((error) => {
          this.compiled = null; // the next run tries again
          failed(this.file, error);
        });
      return {};
    };
  }

  load() {
    if (this.compiled === null) this.compiled = this.fetch();
    return this.compiled;
  }

  async fetch() {
    if (this.file === 'beam-wasm.js') {
      await new Promise((resolve, reject) => {
        const script = document.createElement('script');
        script.src = this.file;
        script.onload = resolve;
        script.onerror = reject;
        document.head.appendChild(script);
      });
      return WebAssembly.compile(Uint8Array.from(atob(window.beamWasm), (c) => c.charCodeAt(0)));
    }
    // (beam.js asked for beam.wasm.gz as it ran; a later run asks again)
    const early = window.beamModuleRequest;
    window.beamModuleRequest = undefined;
    const response = await (early && this.file === 'beam.wasm.gz' ? early : fetch(this.file));
    if (!response.ok) throw new Error(this.file);
    if (this.file === 'beam.wasm') {
      return WebAssembly.compileStreaming(response.clone()).catch(async () =>
        WebAssembly.compile(await response.arrayBuffer()),
      );
    }
    const bytes = new Uint8Array(await response.arrayBuffer());
    if (bytes[0] !== 0x1f || bytes[1] !== 0x8b) return WebAssembly.compile(bytes);
    const unpacked = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
    return WebAssembly.compile(await new Response(unpacked).arrayBuffer());
  }
}
