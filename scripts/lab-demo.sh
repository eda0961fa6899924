# shellcheck shell=bash
# The demo rig that run.sh and the README's pictures use, sourced by both.
# A small rig, slow as a lab is: an oven heating and holding, a load cell settling after each
# step, pressure pulses on a line, coolant, flow, strain, a vessel and the supply.
lab_sim_args=(--devices 8 --first-port 1 --rate 2 --decimals 2
  --units °C,N,bar,°C,l/min,um/m,°C,V
  --waves ramp-hold,settle,pulse,settle,sine,settle,ramp-hold,sine
  --ranges 22:180,0:500,1:6.5,18:26,11.5:12.5,0:850,20:95,23.95:24.05
  --periods 120,60,50,150,60,80,150,40
  --noises 0.3,2,0.02,0.05,0.03,3,0.2,0.01)

# write_lab_setup FILE: device n on COM n with its Y axis on Auto, all eight linked at start.
write_lab_setup() {
  local labels=("Oven" "Load cell" "Line pressure" "Coolant" "Flow" "Strain" "Vessel" "Supply")
  printf '0,#FALSE#,#TRUE#,"5","300"\r\n' >"$1"
  local n
  for n in 1 2 3 4 5 6 7 8; do
    printf '1,"100","0",%d,0,"%s"\r\n' "$n" "${labels[$((n - 1))]}" >>"$1"
  done
}

# write_lab_alarms FILE: a high limit on the oven, crossed on each heat-up and left on each cool-down;
# the dead band keeps the noise at the limit from ending and raising it again.
write_lab_alarms() {
  printf '# The demo oven: heats to 180 degrees, holds, cools\n[device 1]\nhigh = 170\ndeadband = 2\n' >"$1"
}
