# Sourced: the job protocol between the host and the emulated i386 guest, over a
# folder both see (the spool). The host drops NAME.job, a bash script, by rename;
# the guest runs each job once, in turn, its output into NAME.out, and writes its
# exit status into NAME.rc last, by rename, so NAME.rc appearing means "done".

# The guest's side: serves jobs until SPOOL/poweroff appears or nothing has
# come for IDLE seconds (a host that went away must not keep the guest alive).
serve_jobs() {  # spool idle-seconds
    local spool=$1 idle=$2 job name status last=$SECONDS
    while [ ! -e "$spool/poweroff" ] && [ $((SECONDS - last)) -lt "$idle" ]; do
        for job in "$spool"/*.job; do
            [ -e "$job" ] || continue
            name=${job%.job}
            mv "$job" "$name.running"
            status=0
            bash "$name.running" >"$name.out" 2>&1 </dev/null || status=$?
            echo "$status" >"$name.rc.part"
            mv "$name.rc.part" "$name.rc"
            last=$SECONDS
        done
        sleep 0.2
    done
}

# The host's side: hands SCRIPT to the guest as job NAME and waits for it, at
# most SECONDS, giving up at once when the guest's process (PID) is gone. Prints
# the job's output; returns its status, 124 on timeout, 125 when the guest died.
run_job() {  # spool name script seconds guest-pid
    local spool=$1 name=$2 script=$3 seconds=$4 pid=$5 deadline status
    deadline=$((SECONDS + seconds))
    cp "$script" "$spool/$name.job.part"
    mv "$spool/$name.job.part" "$spool/$name.job"
    until [ -e "$spool/$name.rc" ]; do
        if ! kill -0 "$pid" 2>/dev/null; then
            cat "$spool/$name.out" 2>/dev/null
            echo "the emulated i386 guest (pid $pid) is gone; job $name did not finish" >&2
            return 125
        fi
        if [ $SECONDS -ge "$deadline" ]; then
            cat "$spool/$name.out" 2>/dev/null
            echo "job $name gave no result within $seconds s in the emulated i386 guest" >&2
            return 124
        fi
        sleep 0.2
    done
    cat "$spool/$name.out"
    status=$(cat "$spool/$name.rc")
    return "$status"
}
