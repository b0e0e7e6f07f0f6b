// webgl_calls.js - counts the WebGL calls a page makes, for bench/page.js,
// which puts this script into the page before the page's own scripts.
// Every method of WebGL2RenderingContext.prototype is wrapped: each call
// adds one to window.snowbelterWebGLCalls.calls and to .byName[its name],
// and each draw (drawArrays, drawElements and their instanced and ranged
// forms) one to .draws too.
// The counts are cumulative; a reader takes the difference over its span.
// Not for the shipped page: it only measures.
(function () {
  'use strict';
  if (typeof WebGL2RenderingContext === 'undefined' || window.snowbelterWebGLCalls) return;
  const counts = window.snowbelterWebGLCalls = { calls: 0, draws: 0, byName: {} };
  const DRAWS = new Set(['drawArrays', 'drawElements', 'drawArraysInstanced',
    'drawElementsInstanced', 'drawRangeElements']);
  const proto = WebGL2RenderingContext.prototype;
  for (const name of Object.getOwnPropertyNames(proto)) {
    // Read through the descriptor: the prototype's getters (canvas,
    // drawingBufferWidth) throw when called on the prototype itself.
    const descriptor = Object.getOwnPropertyDescriptor(proto, name);
    if (name === 'constructor' || typeof descriptor.value !== 'function' || !descriptor.writable) continue;
    const method = descriptor.value;
    const draw = DRAWS.has(name);
    proto[name] = function () {
      ++counts.calls;
      counts.byName[name] = (counts.byName[name] || 0) + 1;
      if (draw) ++counts.draws;
      return method.apply(this, arguments);
    };
  }
})();
